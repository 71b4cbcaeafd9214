// Unit1Logic: the dialog's rules without widgets: text generation, size summaries and the
// start-up modes.
#include "Unit1Logic.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>  // for std::numbers::pi
#include <numeric>  // for std::midpoint
#include <utility>  // for std::pair

#include "exchange/DavGaibu.h"
#include "exchange/DavKeys.h"
#include "util/MyFunc.h"

namespace {

// The host's text types are 1..10; entry 0 of the text-type list is its current type.
constexpr int kHostTypes = 10;
// Length of the direction vector sent with the text.
constexpr double kDirLen = 10.0;
// Placement values are cut to this many decimal places, halves away from zero.
constexpr int kRoundPlaces = 12;
constexpr int kRoundHalfUp = 2;

// Base-point code of each option: 3 x row (0 bottom .. 2 top) + column (0 left .. 2 right).
constexpr int kBaseCodes[9] = {6, 3, 0, 7, 4, 1, 8, 5, 2};

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
    return BoxNumberText(CutPlaces(deg));
}

struct TSize {
    int type = 0;  // 1..10 the host's text type, 0 a free size
    double w = 0.0, h = 0.0, d = 0.0;
    int c = 0;
    std::u16string font;  // FontSpec
    std::u16string fontName;
    bool italic = false, bold = false;
};

TSize HostTypeSize(int type, const TJGdata& jg) {
    const TDavMojisyu& m = jg.Mojisyu[static_cast<size_t>(type)];
    return {type, m.W, m.H, m.D, m.C, {}, {}, false, false};
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
            size = {0, jg.CurMjsW, jg.CurMjsH, jg.CurMjsD, jg.CurMjsC, {}, {}, false, false};
        }
        size.font = FontSpec(in.hostFont, in.italic, in.bold);
        size.fontName = in.hostFont;
        size.italic = in.italic;
        size.bold = in.bold;
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
    size.fontName = row.fontName;
    size.italic = row.italic;
    size.bold = row.bold;
    size.type = 0;
    return size;
}

// The corrections of out-of-range boxes, as the dialog shows them after OK. The first text
// type is chosen only where the list has entries.
void ApplyCorrections(const TTextResult& res, int textTypes, TDialogSettings& s) {
    if (res.row >= 1 && res.row <= kPresetRows) {
        TPresetRow& row = s.rows[static_cast<size_t>(res.row - 1)];
        const std::pair<std::u16string*, const std::optional<std::u16string>*> boxes[] = {
            {&row.width, &res.width},
            {&row.height, &res.height},
            {&row.spacing, &res.spacing},
            {&row.colour, &res.colour},
        };
        for (const auto& [box, value] : boxes) {
            if (value->has_value()) {
                *box = **value;
            }
        }
    }
    if (res.selectFirstTextType && textTypes > 0) {
        s.textType = 0;
    }
}

// Characters, not code units: a surrogate pair is one.
int CharacterCount(std::u16string_view text) {
    int n = 0;
    for (size_t i = 0; i < text.size(); ++i, ++n) {
        if (SurrogateKind(text.substr(i, 1)) == 1 && i + 1 < text.size() &&
            SurrogateKind(text.substr(i + 1, 1)) == 2) {
            ++i;
        }
    }
    return n;
}

bool IsFinitePositive(double v) {
    return std::isfinite(v) && v > 0.0;
}

// The text is scaled so that its drawn length spans the two points. When that factor is no
// usable number (coinciding points, a text of no length, a negative length), the text keeps
// the size chosen in the dialog instead of sending an unusable size.
void FitBetweenPoints(const TTextInput& in, TSize& size) {
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

bool IsDecimalDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Whether TextToFloat reads the text as the number it spells, not as the 0 that stands for a
// text that is no number: leading blanks, a sign, digits with a decimal point, an exponent,
// and a value within the range of a Double.
bool ReadsAsFloat(std::u16string_view t) {
    size_t i = 0;
    while (i < t.size() && t[i] == u' ') {
        ++i;
    }
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) {
        ++i;
    }
    size_t digits = 0;
    bool nonZero = false;
    const auto readDigits = [&] {
        for (; i < t.size() && IsDecimalDigit(t[i]); ++i, ++digits) {
            nonZero = nonZero || t[i] != u'0';
        }
    };
    readDigits();
    if (i < t.size() && t[i] == u'.') {
        ++i;
        readDigits();
    }
    if (digits == 0) {
        return false;
    }
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) {
            ++i;
        }
        const size_t first = i;
        while (i < t.size() && IsDecimalDigit(t[i])) {
            ++i;
        }
        if (i == first) {
            return false;
        }
    }
    return i == t.size() && (!nonZero || TextToFloat(t) != 0.0);
}

// The same for TextToInt: a spelling of 0 (after blanks, a sign and a hexadecimal prefix only
// zeros) or a text it reads as another value.
bool ReadsAsInt(std::u16string_view t) {
    if (TextToInt(t) != 0) {
        return true;
    }
    size_t i = 0;
    while (i < t.size() && t[i] == u' ') {
        ++i;
    }
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) {
        ++i;
    }
    if (i < t.size() && (t[i] == u'$' || t[i] == u'x' || t[i] == u'X')) {
        ++i;
    } else if (i + 1 < t.size() && t[i] == u'0' && (t[i + 1] == u'x' || t[i + 1] == u'X')) {
        i += 2;
    }
    return i < t.size() && t.find_first_not_of(u'0', i) == std::u16string_view::npos;
}

// One part of an angle; an empty part reads as 0 and reads well.
double ReadAnglePart(std::u16string_view t, bool& readable) {
    if (!t.empty() && !ReadsAsFloat(t)) {
        readable = false;
    }
    return TextToFloat(t);
}

// The angle in degrees: a plain number, or degrees "@@" (or "**") minutes "@" (or "*")
// seconds. readable becomes false when a part does not read as a number.
double ReadAngle(std::u16string_view t, bool& readable) {
    if (FindText(u"@", t) < 0 && FindText(u"*", t) < 0) {
        return ReadAnglePart(t, readable);
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
        degrees = ReadAnglePart(TextMid(rest, 0, p), readable);
        rest = TextFrom(rest, p + 2);
    }
    double minutes = 0.0;
    p = FindText(u"@", rest);
    if (p < 0) {
        p = FindText(u"*", rest);
    }
    if (p >= 0) {
        minutes = ReadAnglePart(TextMid(rest, 0, p), readable);
        rest = TextFrom(rest, p + 1);
    }
    const double seconds = ReadAnglePart(rest, readable);
    const double angle = minutes / 60.0 + degrees + seconds / 3600.0;
    return negative ? -angle : angle;
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
    bool readable = true;
    return ReadAngle(t, readable);
}

TPlacedText PlaceText(const TTextInput& in, const TJGdata& jg) {
    TPlacedText placed;
    TTextPlacement& p = placed.placement;
    p.text = in.text;
    p.orientation = OrientationCode(in.orientation);
    p.angle = ParseAngleText(StripBlanks(in.angle));
    p.basePoint = BasePointCode(in.basePoint);
    const int column = p.basePoint % 3;
    const int row = p.basePoint / 3;

    if (in.offsetsOn) {
        // Edit4..Edit6 hold the lateral offsets left to right, Edit1..Edit3 the vertical ones
        // top to bottom.
        p.lateral = TextToFloat(in.offsets[static_cast<size_t>(3 + column)]);
        p.vertical = TextToFloat(in.offsets[static_cast<size_t>(2 - row)]);
    }

    TSize size = ResolveTextSize(in, jg, placed.corrections);

    p.theta = (in.mjiku ? p.angle + jg.Jikukaku : p.angle) / 180.0 * std::numbers::pi;

    p.baseX = in.mx1;
    p.baseY = in.my1;
    if (in.mfit) {
        if (column == 1) {
            // Halfway without the sum, which overflows for points near the largest numbers.
            p.baseX = std::midpoint(in.mx1, in.mx2);
            p.baseY = std::midpoint(in.my1, in.my2);
        } else if (column == 2) {
            p.baseX = in.mx2;
            p.baseY = in.my2;
        }
    }
    // The offsets are taken back in the text's own frame: along and across its direction.
    const double x = RotateX(-p.lateral, -p.vertical, 0.0, 0.0, p.theta) + p.baseX;
    const double y = RotateY(-p.lateral, -p.vertical, 0.0, 0.0, p.theta) + p.baseY;

    if (in.mfit) {
        p.fit = true;
        p.fitX1 = in.mx1;
        p.fitY1 = in.my1;
        p.fitX2 = in.mx2;
        p.fitY2 = in.my2;
        FitBetweenPoints(in, size);
    }

    p.x = CutPlaces(x);
    p.y = CutPlaces(y);
    p.dx = CutPlaces(std::cos(p.theta) * kDirLen);
    p.dy = CutPlaces(std::sin(p.theta) * kDirLen);
    p.type = size.type;
    p.w = size.w;
    p.h = size.h;
    p.d = size.d;
    p.colour = size.c;
    p.font = size.font;
    p.fontName = size.fontName;
    p.italic = size.italic;
    p.bold = size.bold;
    p.characters = CharacterCount(in.text);
    p.length = TextLength(in.text, size.w, size.d);
    return placed;
}

bool IsFinitePlacement(const TTextPlacement& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.dx) &&
           std::isfinite(p.dy) && std::isfinite(p.w) && std::isfinite(p.h) && std::isfinite(p.d);
}

bool HasFinitePlacement(const TTextInput& in, const TJGdata& jg) {
    return IsFinitePlacement(PlaceText(in, jg).placement);
}

void WriteText(const TTextPlacement& p, TJGdata& jg) {
    if (jg.Zusun) {
        jg.SendMem(std::u16string(DavKeys::kSheetUnits));
    }
    jg.S_LGrp(jg.CurLGrp);
    jg.S_Lay(jg.CurLay);
    jg.S_Col(jg.CurCol, 0);
    jg.S_Ltp(jg.CurLtp, 0);
    jg.S_Wid(jg.CurWid);
    jg.S_Mjs(p.type, p.w, p.h, p.d, p.colour, 0);
    jg.S_Mbs(p.basePoint);
    jg.S_Font(p.font);
    jg.S_Text(p.orientation, p.x, p.y, p.dx, p.dy, p.text);
}

TTextResult MakeText(const TTextInput& in, TJGdata& jg) {
    const TPlacedText placed = PlaceText(in, jg);
    // The dialog refuses OK before this point; the check keeps any other caller from sending
    // the attribute commands of a text that is never written.
    if (IsFinitePlacement(placed.placement)) {
        WriteText(placed.placement, jg);
    }
    return placed.corrections;
}

TTextInput TextInputOf(const TDialogState& s) {
    TTextInput in;
    static_cast<TDialogChoices&>(in) = s;
    static_cast<TTextPlace&>(in) = s;
    in.hostFont = s.hostFontName;
    return in;
}

TOkResult ConfirmText(const TDialogState& state, const TJGdata& jg) {
    TOkResult ok;
    ok.settings = state;
    TDialogSettings& s = ok.settings;
    // The text is placed with the angle as the box shows it after OK.
    s.angle = NormaliseAngle(state.angle);
    UpdateHistory(s.textHistory, s.text);
    UpdateHistory(s.angleHistory, s.angle);
    TTextInput in = TextInputOf(state);
    in.angle = s.angle;
    const TPlacedText placed = PlaceText(in, jg);
    ok.placement = placed.placement;
    ApplyCorrections(placed.corrections, state.textTypes, s);
    return ok;
}

std::u16string NormaliseAngle(std::u16string_view typed) {
    if (StripBlanks(typed).empty()) {
        return u"0";
    }
    if (FindText(u"@", typed) < 0 && FindText(u"*", typed) < 0) {
        // Read the number without its blanks, as the text generation reads the angle, so that
        // a blank typed after the number does not silently turn the angle into 0.
        return BoxNumberText(TextToFloat(StripBlanks(typed)));
    }
    return std::u16string(typed);
}

std::optional<std::u16string> UnreadNumberValue(TNumberKind kind, std::u16string_view text) {
    if (StripBlanks(text).empty()) {
        return std::nullopt;
    }
    switch (kind) {
        case TNumberKind::Angle: {
            // The text generation reads the angle without its blanks.
            bool readable = true;
            const double deg = ReadAngle(StripBlanks(text), readable);
            if (readable) {
                return std::nullopt;
            }
            return AngleText(deg);
        }
        case TNumberKind::Colour:
            if (ReadsAsInt(text)) {
                return std::nullopt;
            }
            // Such a text reads as 0, which is no colour number.
            return IntToText(kDefaultColour);
        case TNumberKind::Offset:
        case TNumberKind::Size:
        case TNumberKind::Spacing: break;
    }
    if (ReadsAsFloat(text)) {
        return std::nullopt;
    }
    // Such a text reads as 0, which a preset row's range may replace.
    double value = 0.0;
    if (kind == TNumberKind::Size && !IsSize(value)) {
        value = kDefaultSize;
    } else if (kind == TNumberKind::Spacing && !IsSpacing(value)) {
        value = kDefaultSpacing;
    }
    return BoxNumberText(value);
}

std::u16string ComposedText(std::u16string_view text, int cursor, std::u16string_view preedit) {
    const size_t at = static_cast<size_t>(std::clamp(cursor, 0, static_cast<int>(text.size())));
    std::u16string shown(text.substr(0, at));
    shown += preedit;
    shown += text.substr(at);
    return shown;
}

std::u16string FittedSizeText(const TTextPlacement& p) {
    constexpr int kShownPlaces = 3;
    if (!p.fit || StripBlanks(p.text).empty() || !IsFinitePlacement(p)) {
        return {};
    }
    const auto shown = [](double v) {
        return FloatToText(RoundDigits(v, kShownPlaces, kRoundHalfUp));
    };
    return u"2点間に合わせた大きさ  W" + shown(p.w) + u" H" + shown(p.h) + u" D" + shown(p.d);
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
        p.mx1 = std::midpoint(p1.x, p2.x);
        p.my1 = std::midpoint(p1.y, p2.y);
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
