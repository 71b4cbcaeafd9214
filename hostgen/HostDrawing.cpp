// HostDrawing: the header a host writes (the drawing's file, scale, sheet, text types, colours,
// layer names, current attributes, two picked points), then request.entities entities spread
// over an A1 sheet in paper millimetres. Each entity picks its kind from a table of shares,
// so that a large file holds every kind in about the proportions a plan has: lines most of
// all, then texts, circles and arcs, polylines, dimensions, points, markers, blocks and
// solids of every shape. Every 200 entities or so the colour, line type, layer or text type
// changes. Numbers have three decimals, as a host writes them.
//
// Only the engine's raw draws are used (no distributions), so the bytes are the same with
// every standard library.
#include "hostgen/HostDrawing.h"

#include <charconv>  // for std::to_chars
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace {

// The sheet, in millimetres: A1 landscape.
constexpr int kSheetWidth = 841;
constexpr int kSheetHeight = 594;
// Entities between two changes of the attributes.
constexpr int kAttributeEvery = 200;

constexpr std::string_view kHeader[] = {
    "file=C:\\設計室\\試作\\北棟 一階平面図.zmn",
    "hk 0",
    "hs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1",
    "hzs 841 594",
    "hcw 2 2.5 3 3.5 4 5 6 7 8 10",
    "hch 2 2.5 3 3.5 4 5 6 7 8 10",
    "hcd 0 0 0.5 0.5 0.5 1 1 1 1 1",
    "hcc 1 1 2 2 2 3 3 4 4 5",
    "hrgb 0 255 65280 16711680 8421504 12632256 32768 128 4210752",
    // The names of the layers the entities go to, then the current attributes.
    "lg1",
    "lgn平面",
    "ly0",
    "lyn通り芯",
    "ly3",
    "lyn壁",
    "ly5",
    "lyn建具",
    "ly8",
    "lyn寸法",
    "ly9",
    "lyn文字",
    "ly3",
    "lc2",
    "lt1",
    "lw0",
    "cn3",
    "cn\"$<ＭＳ ゴシック>",
    "cc0",
};

// What changes every kAttributeEvery entities, one of these in turn by the engine's draw.
constexpr std::string_view kAttributeLines[] = {
    "ly0",
    "ly3",
    "ly5",
    "ly8",
    "ly9",
    "lc1",
    "lc2",
    "lc3",
    "lc5",
    "lt1",
    "lt2",
    "lw0",
    "lw2",
    "cn2",
    "cn5",
    "cc1",
    "cn\"$<ＭＳ 明朝>",
};

constexpr std::string_view kWords[] = {"居間", "台所", "寝室",      "玄関", "廊下", "浴室",
                                       "収納", "階段", "北側 通路", "ＰＳ", "EV",   "WC"};
constexpr std::string_view kBlocks[] = {"扉W900", "窓W1690", "便器", "洗面台", "柱300角"};

class TDrawing {
public:
    TDrawing(const THostFileRequest& request, const THostLineSink& emit)
        : rng_(request.seed), emit_(emit), entities_(request.entities) {}

    void Run() {
        for (std::string_view l : kHeader) {
            Emit(l);
        }
        line_ = "hp1";
        Place();
        Emit(line_);
        line_ = "hp2";
        Place();
        Emit(line_);
        while (made_ < entities_) {
            if (made_ / kAttributeEvery != attributesAt_) {
                attributesAt_ = made_ / kAttributeEvery;
                Emit(kAttributeLines[Draw(std::size(kAttributeLines))]);
            }
            Entity();
        }
    }

private:
    struct TKindShare {
        unsigned share;  // of 100
        void (TDrawing::*make)();
    };
    static const TKindShare kKinds[];

    unsigned Draw(size_t n) { return static_cast<unsigned>(rng_() % n); }

    // A number with three decimals.
    static std::string Fixed(double v) {
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 3);
        return std::string(buf, r.ptr);
    }
    // Appends a number after a blank.
    void Num(double v) {
        line_ += ' ';
        line_ += Fixed(v);
    }
    // A value from lo up to below hi, in steps of a thousandth.
    double Value(double lo, double hi) {
        const auto steps = static_cast<unsigned>((hi - lo) * 1000.0);
        return lo + Draw(steps) / 1000.0;
    }
    // Appends a place on the sheet and keeps it as the entity's place.
    void Place() {
        x_ = Value(0, kSheetWidth);
        y_ = Value(0, kSheetHeight);
        Num(x_);
        Num(y_);
    }
    // Appends a place near the entity's own, never on it.
    void Near(double reach) {
        Num(x_ + Value(0.5, reach));
        Num(y_ + Value(-reach, reach));
    }
    void Text(std::string_view key, std::string_view dir) {
        line_ = key;
        Place();
        line_ += dir;
        line_ += " \"";
        line_ += kWords[Draw(std::size(kWords))];
        line_ += ' ';
        line_ += std::to_string(made_);
    }

    void Emit(std::string_view l) { emit_(l, "\r\n"); }
    // The entity line made, counted.
    void Made() {
        Emit(line_);
        ++made_;
    }

    // One entity of the kind its draw falls on in the table of shares.
    void Entity();

    void Line() {
        line_.clear();
        Place();
        Near(20);
        line_.erase(0, 1);
        Made();
    }
    void Circle() {
        line_ = "ci";
        Place();
        Num(Value(0.5, 15));
        Made();
    }
    void Arc() {
        line_ = "ci";
        Place();
        Num(Value(0.5, 15));
        Num(Draw(360));
        Num(Draw(360));
        line_ += " 1 0";
        Made();
    }
    void HorizontalText() {
        static constexpr std::string_view kDirections[] = {" 1 0", " 0 1", " 0.866 0.5"};
        Text("ch", kDirections[Draw(std::size(kDirections))]);
        Made();
    }
    void VerticalText() {
        Text("cv", " 0 -1");
        Made();
    }
    void Point() {
        line_ = "pt";
        Place();
        Made();
    }
    void Marker() {
        line_ = "pt";
        Place();
        line_ += ' ' + std::to_string(1 + Draw(3));
        Num(Draw(360));
        line_ += ' ' + std::to_string(static_cast<int>(Draw(19)) - 7);
        Made();
    }
    void Block() {
        line_ = "BL";
        Place();
        line_ += ' ';
        line_ += kBlocks[Draw(std::size(kBlocks))];
        Made();
    }
    // A solid of two, three or four corners: a band, a triangle or a quadrilateral.
    void Solid() {
        const unsigned corners = 2 + Draw(3);
        line_ = "sl";
        Place();
        const double w = Value(1, 10), h = Value(1, 10);
        Num(x_ + w), Num(y_ + (corners == 2 ? h : 0));
        if (corners >= 3) {
            Num(x_ + w), Num(y_ + h);
        }
        if (corners == 4) {
            Num(x_), Num(y_ + h);
        }
        Made();
    }
    // A circular ("sc", "se") or ring ("so", "sg") solid: full, a sector or a segment.
    void RoundSolid() {
        static constexpr std::string_view kKeys[] = {"sc", "se", "so", "sg"};
        const unsigned k = Draw(std::size(kKeys));
        line_ = kKeys[k];
        Place();
        const double r = Value(1, 10);
        Num(r);
        line_ += " 1 0";
        Num(Draw(360));
        Num(90 + Draw(271));
        if (k < 2) {
            line_ += Draw(2) == 0 ? " 100" : " 0";
        } else {
            Num(r * (0.2 + Draw(7) / 10.0));
        }
        Made();
    }
    // A polyline of two to five segments, each a line of its own from where the last
    // ended, turning by a right angle at each corner.
    void Polyline() {
        Emit("pl");
        line_.clear();
        Place();
        const int segments = 2 + static_cast<int>(Draw(4));
        for (int k = 0; k < segments && made_ < entities_; ++k) {
            line_.clear();
            Num(x_);
            Num(y_);
            const double step = Value(-30, 30);
            (k % 2 == 0 ? x_ : y_) += step < 0 ? step - 0.5 : step + 0.5;
            Num(x_);
            Num(y_);
            line_.erase(0, 1);
            Made();
        }
        Emit("#");
    }
    // A dimension, one entity of two lines: its line, then its text with the length.
    void Dimension() {
        Emit("msg");
        line_.clear();
        Place();
        const double length = Value(1, 200);
        Num(x_ + length);
        Num(y_);
        line_.erase(0, 1);
        Emit(line_);
        line_ = "cs";
        Num(x_ + length / 2);
        Num(y_ + 1);
        line_ += " 1 0 \"" + Fixed(length);
        Made();
    }

    std::mt19937 rng_;
    const THostLineSink& emit_;
    int entities_;
    int made_ = 0;
    int attributesAt_ = 0;
    std::string line_;
    double x_ = 0, y_ = 0;
};

const TDrawing::TKindShare TDrawing::kKinds[] = {
    {40, &TDrawing::Line},           {8, &TDrawing::Circle},       {6, &TDrawing::Arc},
    {10, &TDrawing::HorizontalText}, {2, &TDrawing::VerticalText}, {4, &TDrawing::Point},
    {2, &TDrawing::Marker},          {3, &TDrawing::Block},        {6, &TDrawing::Solid},
    {5, &TDrawing::RoundSolid},      {8, &TDrawing::Polyline},     {6, &TDrawing::Dimension},
};

void TDrawing::Entity() {
    unsigned roll = Draw(100);
    for (const TKindShare& k : kKinds) {
        if (roll < k.share) {
            (this->*k.make)();
            return;
        }
        roll -= k.share;
    }
}

}  // namespace

void DrawingLines(const THostFileRequest& request, const THostLineSink& emit) {
    TDrawing(request, emit).Run();
}
