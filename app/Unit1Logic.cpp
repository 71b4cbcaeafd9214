// Unit1Logic: the dialog's rules without widgets: text generation, size summaries, the
// settings file and the start-up modes.
#include "Unit1Logic.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>  // for std::numbers::pi

#include "exchange/DavGaibu.h"
#include "util/MyFunc.h"
#include "util/TextFile.h"

namespace {

// Size limits of the preset boxes, bounds included.
constexpr double kMinSize = 0.1;
constexpr double kMaxSize = 500.0;
constexpr double kMinSpacing = -100.0;
constexpr double kMaxSpacing = 500.0;
constexpr double kDefaultSize = 3.0;
constexpr double kDefaultSpacing = 0.0;
constexpr int kDefaultColour = 2;
// The host's text types are 1..10; entry 0 of the text-type list is its current type.
constexpr int kHostTypes = 10;
// Length of the direction vector sent with the text.
constexpr double kDirLen = 10.0;
// Placement values are cut to this many decimal places, halves away from zero.
constexpr int kRoundPlaces = 12;
constexpr int kRoundHalfUp = 2;

// Fixed lines of the settings file: the dialog's fields, the preset rows, the first count.
constexpr int64_t kRowsLine = 18;
constexpr int64_t kRowLines = 8;
constexpr int64_t kCountLine = kRowsLine + kRowLines * kPresetRows;  // 138

// Base-point code of each option: 3 x row (0 bottom .. 2 top) + column (0 left .. 2 right).
constexpr int kBaseCodes[9] = {6, 3, 0, 7, 4, 1, 8, 5, 2};

bool IsSize(double v) {
    return v >= kMinSize && v <= kMaxSize;
}
bool IsSpacing(double v) {
    return v >= kMinSpacing && v <= kMaxSpacing;
}
bool IsColourNumber(int c) {
    return (c >= 1 && c <= 9) || (c >= 101 && c <= 356);
}
double WidthRule(double v) {
    return IsSize(v) ? v : kDefaultSize;
}
double SpacingRule(double v) {
    return IsSpacing(v) ? v : kDefaultSpacing;
}
int ColourRule(int c) {
    return IsColourNumber(c) ? c : kDefaultColour;
}

// An index read from the file counts only when it lies inside its list.
bool InList(int value, int count) {
    return value >= 0 && value < count;
}

// "<name>" with "/" for italic and "!" for bold.
std::u16string FontSpec(std::u16string_view name, bool italic, bool bold) {
    std::u16string text = u"<";
    text += name;
    text += u'>';
    if (italic) {
        text += u'/';
    }
    if (bold) {
        text += u'!';
    }
    return text;
}

std::u16string SizeSummary(double w, double h, double d, int c) {
    std::u16string s = u" W";
    s += FloatToText(w);
    s += u" H";
    s += FloatToText(h);
    s += u" D";
    s += FloatToText(d);
    s += u" 色";
    s += IntToText(c);
    return s;
}

const TDavIndPoint& PickedPoint(const TJGdata& jg, size_t n) {
    static const TDavIndPoint kNone{};
    return n < jg.IPoints.size() ? jg.IPoints[n] : kNone;
}

double CutPlaces(double v) {
    return RoundDigits(v, kRoundPlaces, kRoundHalfUp);
}

// An angle in degrees as the angle box shows it.
std::u16string AngleText(double deg) {
    return FloatToText(CutPlaces(deg));
}

struct TSize {
    int type = 0;  // 1..10 the host's text type, 0 a free size
    double w = 0.0, h = 0.0, d = 0.0;
    int c = 0;
    std::u16string font;
};

TSize HostTypeSize(int type, const TJGdata& jg) {
    const TDavMojisyu& m = jg.Mojisyu[static_cast<size_t>(type)];
    return {type, m.W, m.H, m.D, m.C, {}};
}

// The size, colour and font of the text, with the corrections of out-of-range preset boxes.
TSize ResolveTextSize(const TTextInput& in, const TJGdata& jg, TTextResult& res) {
    TSize size;
    if (in.hostType) {
        int k = in.textType;
        if (k < 0) {
            k = 0;
            res.selectFirstTextType = true;
        }
        if (k >= 1 && k <= kHostTypes) {
            size = HostTypeSize(k, jg);
        } else if (jg.CurMjs >= 1 && jg.CurMjs <= kHostTypes) {
            size = HostTypeSize(jg.CurMjs, jg);
        } else {
            size = {0, jg.CurMjsW, jg.CurMjsH, jg.CurMjsD, jg.CurMjsC, {}};
        }
        size.font = FontSpec(in.hostFont, in.italic, in.bold);
        return size;
    }

    size_t r = 0;
    while (r < in.rows.size() && !in.rows[r].checked) {
        ++r;
    }
    if (r == in.rows.size()) {
        r = 0;
    }
    const TPresetRow& row = in.rows[r];
    res.row = static_cast<int>(r) + 1;

    size.w = TextToFloat(row.width);
    if (!IsSize(size.w)) {
        size.w = kDefaultSize;
        res.width = u"3.0";
    }
    size.h = TextToFloat(row.height);
    if (!IsSize(size.h)) {
        size.h = kDefaultSize;
        res.height = u"3.0";
    }
    size.d = TextToFloat(row.spacing);
    if (!IsSpacing(size.d)) {
        size.d = kDefaultSpacing;
        res.spacing = u"0.0";
    }
    size.c = TextToInt(row.colour);
    if (!IsColourNumber(size.c)) {
        size.c = kDefaultColour;
        res.colour = u"2";
    }
    size.font = FontSpec(row.fontName, row.italic, row.bold);
    size.type = 0;
    return size;
}

bool IsFinitePositive(double v) {
    return std::isfinite(v) && v > 0.0;
}

// Applies the settings file line by line; lines past the angle history are ignored.
class TSettingsReader {
public:
    TSettingsReader(const TListSizes& sizes, TDialogSettings& s) : sizes_(sizes), s_(s) {}

    void Apply(std::u16string_view line) {
        const int64_t k = next_++;
        if (k < kRowsLine) {
            ApplyField(static_cast<int>(k), line);
        } else if (k < kCountLine) {
            const int64_t i = k - kRowsLine;
            ApplyRowField(s_.rows[static_cast<size_t>(i / kRowLines)],
                          static_cast<int>(i % kRowLines), line);
        } else if (k == kCountLine) {
            textCount_ = Count(line);
        } else if (k <= kCountLine + textCount_) {
            AddEntry(s_.textHistory, line);
        } else if (k == kCountLine + textCount_ + 1) {
            angleCount_ = Count(line);
        } else if (k <= kCountLine + textCount_ + 1 + angleCount_) {
            AddEntry(s_.angleHistory, line);
        }
    }

private:
    // A history count that is not a number or negative holds no entries.
    static int64_t Count(std::u16string_view line) { return std::max(0, TextToInt(line)); }

    static void AddEntry(std::vector<std::u16string>& list, std::u16string_view entry) {
        if (StripBlanks(entry).empty()) {
            return;
        }
        for (const std::u16string& e : list) {
            if (SameTextIgnoringCase(e, entry)) {
                return;
            }
        }
        list.emplace_back(entry);
    }

    static std::u16string NumberText(std::u16string_view line) {
        return FloatToText(TextToFloat(line));
    }

    void ApplyField(int k, std::u16string_view line) {
        const int v = TextToInt(line);
        switch (k) {
            case 0: s_.left = v; break;
            case 1: s_.top = v; break;
            case 2: s_.text = line; break;
            case 3:
                if (InList(v, sizes_.orientations)) {
                    s_.orientation = v;
                }
                break;
            case 4: s_.angle = line; break;
            case 5: s_.hostType = TextIsTrue(line); break;
            case 6:
                if (InList(v, sizes_.textTypes)) {
                    s_.textType = v;
                }
                break;
            case 7:
                if (InList(v, sizes_.fonts)) {
                    s_.hostFont = v;
                }
                break;
            case 8: s_.italic = TextIsTrue(line); break;
            case 9: s_.bold = TextIsTrue(line); break;
            case 10:
                if (InList(v, sizes_.basePoints)) {
                    s_.basePoint = v;
                }
                break;
            case 11: s_.offsetsOn = TextIsTrue(line); break;
            default: s_.offsets[static_cast<size_t>(k - 12)] = NumberText(line); break;
        }
    }

    void ApplyRowField(TPresetRow& row, int field, std::u16string_view line) {
        switch (field) {
            case 0: row.checked = TextIsTrue(line); break;
            case 1: row.width = FloatToText(WidthRule(TextToFloat(line))); break;
            case 2: row.height = FloatToText(WidthRule(TextToFloat(line))); break;
            case 3: row.spacing = FloatToText(SpacingRule(TextToFloat(line))); break;
            case 4: row.colour = IntToText(ColourRule(TextToInt(line))); break;
            case 5: {
                const int v = TextToInt(line);
                if (InList(v, sizes_.fonts)) {
                    row.font = v;
                }
                break;
            }
            case 6: row.italic = TextIsTrue(line); break;
            default: row.bold = TextIsTrue(line); break;
        }
    }

    const TListSizes& sizes_;
    TDialogSettings& s_;
    int64_t next_ = 0;
    int64_t textCount_ = 0;
    int64_t angleCount_ = 0;
};

void AppendHistory(std::vector<std::u16string>& lines, const std::vector<std::u16string>& list) {
    const size_t n = std::min(list.size(), static_cast<size_t>(kHistoryMax));
    lines.push_back(IntToText(static_cast<int>(n)));
    for (size_t i = 0; i < n; ++i) {
        lines.push_back(SingleLine(list[i]));
    }
}

}  // namespace

int OrientationCode(int option) {
    switch (option) {
        case 1: return 1;
        case 2: return 8;
        case 3: return 9;
        default: return 0;
    }
}

int BasePointCode(int option) {
    return (option >= 0 && option < 9) ? kBaseCodes[option] : 0;
}

double ParseAngleText(std::u16string_view t) {
    if (FindText(u"@", t) < 0 && FindText(u"*", t) < 0) {
        return TextToFloat(t);
    }
    std::u16string rest(t);
    const bool negative = !rest.empty() && rest[0] == u'-';
    if (negative) {
        rest.erase(0, 1);
    }
    double degrees = 0.0;
    int p = FindText(u"@@", rest);
    if (p < 0) {
        p = FindText(u"**", rest);
    }
    if (p >= 0) {
        degrees = TextToFloat(TextMid(rest, 0, p));
        rest = TextFrom(rest, p + 2);
    }
    double minutes = 0.0;
    p = FindText(u"@", rest);
    if (p < 0) {
        p = FindText(u"*", rest);
    }
    if (p >= 0) {
        minutes = TextToFloat(TextMid(rest, 0, p));
        rest = TextFrom(rest, p + 1);
    }
    const double seconds = TextToFloat(rest);
    const double angle = minutes / 60.0 + degrees + seconds / 3600.0;
    return negative ? -angle : angle;
}

TTextResult MakeText(const TTextInput& in, TJGdata& jg) {
    TTextResult res;
    const int orientation = OrientationCode(in.orientation);
    const double angle = ParseAngleText(StripBlanks(in.angle));
    const int base = BasePointCode(in.basePoint);
    const int column = base % 3;
    const int row = base / 3;

    double lateral = 0.0;
    double vertical = 0.0;
    if (in.offsetsOn) {
        // Edit4..Edit6 hold the lateral offsets left to right, Edit1..Edit3 the vertical ones
        // top to bottom.
        lateral = TextToFloat(in.offsets[static_cast<size_t>(3 + column)]);
        vertical = TextToFloat(in.offsets[static_cast<size_t>(2 - row)]);
    }

    TSize size = ResolveTextSize(in, jg, res);

    const double theta = (in.mjiku ? angle + jg.Jikukaku : angle) / 180.0 * std::numbers::pi;

    double bx = in.mx1;
    double by = in.my1;
    if (in.mfit) {
        if (column == 1) {
            bx = (in.mx1 + in.mx2) / 2.0;
            by = (in.my1 + in.my2) / 2.0;
        } else if (column == 2) {
            bx = in.mx2;
            by = in.my2;
        }
    }
    // The offsets are taken back in the text's own frame: along and across its direction.
    double x = RotateX(-lateral, -vertical, 0.0, 0.0, theta) + bx;
    double y = RotateY(-lateral, -vertical, 0.0, 0.0, theta) + by;

    if (in.mfit) {
        // The text is scaled so that its drawn length spans the two points. When that factor
        // is no usable number (coinciding points, a text of no length, a negative length),
        // the text keeps the size chosen in the dialog instead of sending an unusable size.
        const double distance = PointDistance(in.mx1, in.my1, in.mx2, in.my2);
        const double length = TextLength(in.text, size.w, size.d);
        const double k = distance / length;
        const double w = size.w * k;
        const double h = size.h * k;
        const double d = size.d * k;
        if (IsFinitePositive(k) && std::isfinite(w) && std::isfinite(h) && std::isfinite(d)) {
            size.w = w;
            size.h = h;
            size.d = d;
            size.type = 0;
        }
    }

    double dx = std::cos(theta) * kDirLen;
    double dy = std::sin(theta) * kDirLen;
    x = CutPlaces(x);
    y = CutPlaces(y);
    dx = CutPlaces(dx);
    dy = CutPlaces(dy);

    if (jg.Zusun) {
        jg.SendMem(u"bz");
    }
    jg.S_LGrp(jg.CurLGrp);
    jg.S_Lay(jg.CurLay);
    jg.S_Col(jg.CurCol, 0);
    jg.S_Ltp(jg.CurLtp, 0);
    jg.S_Wid(jg.CurWid);
    jg.S_Mjs(size.type, size.w, size.h, size.d, size.c, 0);
    jg.S_Mbs(base);
    jg.S_Font(size.font);
    jg.S_Text(orientation, x, y, dx, dy, in.text);
    return res;
}

std::u16string NormaliseAngle(std::u16string_view typed) {
    if (StripBlanks(typed).empty()) {
        return u"0";
    }
    if (FindText(u"@", typed) < 0 && FindText(u"*", typed) < 0) {
        // Read the number without its blanks, as the text generation reads the angle, so that
        // a blank typed after the number does not silently turn the angle into 0.
        return FloatToText(TextToFloat(StripBlanks(typed)));
    }
    return std::u16string(typed);
}

std::vector<std::u16string> TextTypeEntries(const TJGdata& jg) {
    std::vector<std::u16string> entries;
    entries.reserve(kHostTypes + 1);
    if (jg.CurMjs != 0) {
        entries.push_back(u"現在の文字種(No" + IntToText(jg.CurMjs) + u")");
    } else {
        entries.push_back(u"現在の文字種(Free)");
    }
    for (int k = 1; k <= kHostTypes; ++k) {
        entries.push_back(u"文字種" + IntToText(k));
    }
    return entries;
}

std::u16string HostTypeSummary(int entry, const TJGdata& jg) {
    if (entry < 0 || entry > kHostTypes) {
        return {};
    }
    int type = entry;
    if (type == 0) {
        type = jg.CurMjs;
        if (type < 1 || type > kHostTypes) {
            return u"(Free)" + SizeSummary(jg.CurMjsW, jg.CurMjsH, jg.CurMjsD, jg.CurMjsC);
        }
    }
    const TDavMojisyu& m = jg.Mojisyu[static_cast<size_t>(type)];
    return u"(No." + IntToText(type) + u")" + SizeSummary(m.W, m.H, m.D, m.C);
}

std::u16string RowSummary(const TPresetRow& row) {
    return SizeSummary(TextToFloat(row.width), TextToFloat(row.height), TextToFloat(row.spacing),
                       TextToInt(row.colour));
}

bool IsUsableFontName(std::u16string_view name) {
    const auto has = [name](char16_t c) { return name.find(c) != std::u16string_view::npos; };
    return !has(u'@') && !has(u'$') && !StripBlanks(name).empty() && !has(u'%') && !has(u'&');
}

// Case is ignored by comparing the locale's upper-case forms, the way the combo boxes match
// entries; equal texts are equal without asking the locale.
bool SameTextIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a == b) {
        return true;
    }
    return UpperText(a) == UpperText(b);
}

void UpdateHistory(std::vector<std::u16string>& list, const std::u16string& t) {
    std::erase_if(list, [&t](const std::u16string& e) { return SameTextIgnoringCase(e, t); });
    list.insert(list.begin(), t);
}

std::u16string SingleLine(std::u16string_view text) {
    std::u16string s(text);
    std::replace_if(
        s.begin(), s.end(), [](char16_t c) { return c == u'\r' || c == u'\n'; }, u' ');
    return s;
}

TDialogSettings DefaultSettings(int msGothic) {
    TDialogSettings s;
    s.hostFont = msGothic;
    for (TPresetRow& row : s.rows) {
        row.font = msGothic;
    }
    return s;
}

void ApplySettingsLines(const std::vector<std::u16string>& lines, const TListSizes& sizes,
                        TDialogSettings& s) {
    TSettingsReader reader(sizes, s);
    for (const std::u16string& line : lines) {
        reader.Apply(line);
    }
}

std::vector<std::u16string> SettingsLines(const TDialogSettings& s) {
    std::vector<std::u16string> lines;
    lines.reserve(static_cast<size_t>(kCountLine) + 2 + 2 * kHistoryMax);
    lines.push_back(IntToText(s.left));
    lines.push_back(IntToText(s.top));
    lines.push_back(SingleLine(s.text));
    lines.push_back(IntToText(s.orientation));
    lines.push_back(SingleLine(s.angle));
    lines.push_back(BoolToText(s.hostType));
    lines.push_back(IntToText(s.textType));
    lines.push_back(IntToText(s.hostFont));
    lines.push_back(BoolToText(s.italic));
    lines.push_back(BoolToText(s.bold));
    lines.push_back(IntToText(s.basePoint));
    lines.push_back(BoolToText(s.offsetsOn));
    for (const std::u16string& offset : s.offsets) {
        lines.push_back(FloatToText(TextToFloat(offset)));
    }
    for (const TPresetRow& row : s.rows) {
        lines.push_back(BoolToText(row.checked));
        lines.push_back(FloatToText(WidthRule(TextToFloat(row.width))));
        lines.push_back(FloatToText(WidthRule(TextToFloat(row.height))));
        lines.push_back(FloatToText(SpacingRule(TextToFloat(row.spacing))));
        lines.push_back(IntToText(ColourRule(TextToInt(row.colour))));
        lines.push_back(IntToText(row.font));
        lines.push_back(BoolToText(row.italic));
        lines.push_back(BoolToText(row.bold));
    }
    AppendHistory(lines, s.textHistory);
    AppendHistory(lines, s.angleHistory);
    return lines;
}

bool LoadSettingsFile(const std::u16string& path, const TListSizes& sizes, TDialogSettings& s) {
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        return false;
    }
    const TDecodedText decoded = DecodeTextBytes(bytes);
    TSettingsReader reader(sizes, s);
    ForEachLine(decoded.text, [&reader](std::u16string_view line) { reader.Apply(line); });
    return true;
}

bool SaveSettingsFile(const std::u16string& path, const TDialogSettings& s) {
    std::string bytes = "\xEF\xBB\xBF";
    for (const std::u16string& line : SettingsLines(s)) {
        AppendUtf8(bytes, line);
        bytes += "\r\n";
    }
    // The old file is replaced only once the new one is complete; a failed save leaves it.
    return WriteFileReplacing(path, bytes);
}

TStartupPlacement StartupPlacement(const std::optional<std::u16string>& mode, const TJGdata& jg) {
    TStartupPlacement p;
    if (!mode) {
        return p;
    }
    const TDavIndPoint& p1 = PickedPoint(jg, 1);
    const TDavIndPoint& p2 = PickedPoint(jg, 2);
    const std::u16string& m = *mode;
    if (m == u"1") {
        p.mx1 = p1.x;
        p.my1 = p1.y;
        return p;
    }
    p.mjiku = false;
    if (m == u"2") {
        // The direction of the first selected line, kept readable: never 180 degrees or more.
        double deg = 0.0;
        if (jg.EntLineN >= 1 && !jg.EntLine.empty()) {
            const TDavEntLine& l = jg.EntLine[0];
            deg = VectorAngleDeg(l.x2 - l.x1, l.y2 - l.y1);
            if (deg >= 180.0) {
                deg -= 180.0;
            }
        }
        p.angle = AngleText(deg);
        p.mx1 = p2.x;
        p.my1 = p2.y;
        return p;
    }
    p.angle = AngleText(VectorAngleDeg(p2.x - p1.x, p2.y - p1.y));
    if (m == u"3") {
        p.mx1 = p1.x;
        p.my1 = p1.y;
    } else if (m == u"4") {
        p.mx1 = (p1.x + p2.x) / 2.0;
        p.my1 = (p1.y + p2.y) / 2.0;
    } else if (m == u"5") {
        p.mx1 = p2.x;
        p.my1 = p2.y;
    } else {
        p.mx1 = p1.x;
        p.my1 = p1.y;
        p.mx2 = p2.x;
        p.my2 = p2.y;
        p.mfit = true;
    }
    return p;
}
