// nagasa: an external program that measures the selected lines, circles, arcs and polyline
// groups and writes their total length as one text at picked point 1.
//
// The host writes ZIV_TEMP.TXT beside the program, starts it and, once it has ended, executes
// the commands that the program wrote back into the same file. This program needs no dialog:
// it reads the file, adds up the lengths and replaces the file with the drawing commands of one
// text, drawn with the host's current layer and text settings. Without a picked
// point 1 or without anything to measure it leaves the file as the host wrote it, so that the
// host draws nothing.
#include <charconv>
#include <cmath>
#include <iostream>
#include <numbers>
#include <string>
#include <system_error>

#include <r407/exchange/DavGaibu.h>
#include <r407/util/Platform.h>
#include <r407/util/Utf8.h>

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// The swept angle of an arc from sa to ea, counter-clockwise, in degrees: (0, 360].
double SweptDegrees(double sa, double ea) {
    double swept = std::fmod(ea - sa, 360.0);
    if (swept <= 0.0) {
        swept += 360.0;
    }
    return swept;
}

// The length of an arc of an ellipse with semi-axes r and r * he, between the angles sa and ea
// (degrees, measured in the ellipse's own frame), by Simpson's rule: the elliptic integral has
// no closed form. A circular arc (he = 1) is r times its swept angle.
double ArcLength(const TDavEntArc& arc) {
    const double swept = SweptDegrees(arc.sa, arc.ea) * kDegree;
    const double a = std::fabs(arc.cr);
    const double b = std::fabs(arc.cr * arc.he);
    if (a == b) {
        return a * swept;
    }
    constexpr int kSteps = 2000;  // even; ample for three decimal places
    const double h = swept / kSteps;
    const double t0 = arc.sa * kDegree;
    auto speed = [&](double t) { return std::hypot(a * std::sin(t), b * std::cos(t)); };
    double sum = speed(t0) + speed(t0 + swept);
    for (int i = 1; i < kSteps; ++i) {
        sum += speed(t0 + i * h) * (i % 2 == 1 ? 4.0 : 2.0);
    }
    return sum * h / 3.0;
}

// What the host selected, measured. Lines of a polyline group are lines of the model with a
// group number (CrvNo), so the groups are in the lines' total.
struct TMeasure {
    double total = 0.0;
    int pieces = 0;
};

TMeasure Measure(const TJGdata& jg) {
    TMeasure m;
    // Each list holds more records than it uses; Used views the real ones, up to the count.
    for (const TDavEntLine& l : TJGdata::Used(jg.EntLine, jg.EntLineN)) {
        m.total += std::hypot(l.x2 - l.x1, l.y2 - l.y1);
        ++m.pieces;
    }
    for (const TDavEntCircle& c : TJGdata::Used(jg.EntCirc, jg.EntCircN)) {
        m.total += 2.0 * std::numbers::pi * std::fabs(c.cr);
        ++m.pieces;
    }
    for (const TDavEntArc& a : TJGdata::Used(jg.EntArc, jg.EntArcN)) {
        m.total += ArcLength(a);
        ++m.pieces;
    }
    return m;
}

// The length as the text shows it: three decimal places at most, with a full stop whatever
// the user's locale, trailing zeros dropped.
std::u16string LengthText(double length) {
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, length, std::chars_format::fixed, 3);
    std::string s(buf, ec == std::errc() ? end : buf);
    if (s.find('.') != std::string::npos) {
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') {
            s.pop_back();
        }
    }
    if (s == "-0") {
        s = "0";
    }
    return u"全長 " + std::u16string(s.begin(), s.end());
}

}  // namespace

int main() {
    // The host puts its file beside the program, not in the working folder.
    const std::u16string file = Platform::ProgramFolder() + u"ZIV_TEMP.TXT";

    TJGdata jg;
    if (!jg.OpenTempFile(file)) {
        std::cerr << "nagasa: cannot read " << ToUtf8(file) << '\n';
        return 1;
    }
    const TDavIndPoint& p1 = jg.IPoints[1];
    const TMeasure m = Measure(jg);
    if (!p1.flg || m.pieces == 0) {
        std::cerr << "nagasa: nothing to do (" << (p1.flg ? "no line, circle or arc selected"
                                                            : "no picked point 1")
                  << "); the drawing stays as it is\n";
        return 0;
    }

    // The answer is a model of its own with the host's settings and current attributes: its
    // write-back declares sheet units when the host's file did, keeps the host's current layer
    // and is saved in the host's encoding; the text takes the host's layer, text type and font.
    TJGdata out;
    out.TakeHostSettings(jg);
    out.A_Mbs(0);  // the text's lower left corner at the point
    // A horizontal text along the drawing's axis; the direction vector's length is free.
    const double axis = jg.Jikukaku * kDegree;
    out.A_Text(0, p1.x, p1.y, 10.0 * std::cos(axis), 10.0 * std::sin(axis), LengthText(m.total));
    if (out.A_Stored().yn != kKindText) {
        std::cerr << "nagasa: the picked point is not a finite number; nothing drawn\n";
        return 0;
    }
    out.S_Init();
    out.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);

    // The file is replaced whole or not at all: the host never reads half a file.
    if (!out.SaveTempFile(file)) {
        std::cerr << "nagasa: cannot write " << ToUtf8(file) << '\n';
        return 1;
    }
    return 0;
}
