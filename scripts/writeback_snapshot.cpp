// writeback_snapshot: a fingerprint of everything the exchange library makes of a set of host
// files, for checking that a change of its insides leaves every output as it was.
//
// For each input (the files named on the command line, and a number of generated host files)
// it records the model as read (ModelDump), the write-back without overrides, grouped and
// plain, a write-back with overrides, and the model rebuilt from the read one through the
// store's appenders (with the current and with explicit attributes), dumped and written back.
// Every record goes to the output, one input after another; two outputs compare with cmp.
//
//   scripts/writeback-snapshot.sh > before.txt   (then after the change: > after.txt)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "exchange/DavGaibu.h"
#include "tests/unit/ModelDump.h"
#include "util/MyFunc.h"
#include "util/Platform.h"
#include "util/TextFile.h"

namespace {

std::string ReadBytes(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

std::uint64_t Fnv(const std::string& s) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) {
        h = (h ^ c) * 1099511628211ull;
    }
    return h;
}

// ---- Generated host files.

class TGen {
public:
    explicit TGen(std::uint32_t seed) : rng_(seed) {}

    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    std::string Num() {
        static const char* const kValues[] = {
            "0",     "1",
            "-1",    "2.5",
            "10",    "1e-11",
            "1e-9",  "100",
            "0.1",   "3.00000000001",
            "-7",    "360",
            "0.5",   "5",
            "1E-12", "12.345678901234",
            "2",     "3",
            "4",     "-0",
            "1e-10", "9.99999999999",
            "50",    "x",
        };
        if (Pick(0, 3) == 0) {
            return std::to_string(Pick(-20, 20));
        }
        return kValues[Pick(0, static_cast<int>(std::size(kValues)) - 1)];
    }

    std::string Nums(int n) {
        std::string s;
        for (int i = 0; i < n; ++i) {
            s += ' ' + Num();
        }
        return s;
    }

    std::string Text(bool ascii) {
        static const char* const kAscii[] = {"AB", "a b", "  ", "", "x=y", "q\"q", "123"};
        static const char* const kWide[] = {"日本語", "縦 書き", "寸法", "ｶﾅ"};
        if (!ascii && Pick(0, 2) == 0) {
            return kWide[Pick(0, 3)];
        }
        return kAscii[Pick(0, 6)];
    }

    std::string Hex() {
        const int v = Pick(0, 17);
        return v < 16 ? std::string(1, "0123456789ABCDEF"[v]) : (v == 16 ? "G" : "");
    }

    std::string Line(bool ascii) {
        switch (Pick(0, 44)) {
            case 0: return "file=C:\\cad\\" + Text(ascii) + ".zz9";
            case 1: return "hk" + Nums(1);
            case 2: return "hs" + Nums(16);
            case 3: return "hzs" + Nums(2);
            case 4: return "hcw" + Nums(10);
            case 5: return "hch" + Nums(10);
            case 6: return "hcc" + Nums(10);
            case 7: return "bz";
            case 8: return "hn" + Nums(4);
            case 9: return "hrgb" + Nums(Pick(8, 12));
            case 10: return "lg" + Hex() + (Pick(0, 1) ? " 1" : "");
            case 11: return "ly" + Hex() + (Pick(0, 1) ? " 2" : "");
            case 12: return "lgn" + Text(ascii);
            case 13: return "lyn " + Text(ascii);
            case 14: return "lc" + std::to_string(Pick(-1, 12)) + (Pick(0, 1) ? Nums(1) : "");
            case 15: return "lc10 " + std::to_string(Pick(-5, 20000000));
            case 16: return "lt" + std::to_string(Pick(-1, 20));
            case 17: return "lw" + std::to_string(Pick(-2, 40000));
            case 18: return "cn" + std::to_string(Pick(-1, 12));
            case 19: return "cn0" + Nums(4);
            case 20: return "cc" + std::to_string(Pick(-1, 10));
            case 21: return "cn\"$<" + Text(ascii) + ">";
            case 22: return "pn" + std::to_string(Pick(-1, 12));
            case 23: return "z" + std::to_string(Pick(1, 5));
            case 24: {
                static const char* const kSuffix[] = {"", "-", "ln", "ci", "ch"};
                return "hp" + std::to_string(Pick(0, 101)) + kSuffix[Pick(0, 4)] + Nums(2);
            }
            case 25: return "hhp" + std::to_string(Pick(0, 9)) + (Pick(0, 1) ? "ln" : "");
            case 26:
            case 27: return "pl";
            case 28:
                return "msg\r\n" + Nums(4).substr(1) + "\r\ncs" + Nums(4) + " \"" + Text(ascii);
            case 29: return "#";
            case 30: return "ci" + Nums(3);
            case 31: return "ci" + Nums(7);
            case 32: {
                static const char* const kKinds[] = {"ch", "cv", "cs", "cr", "co",
                                                     "cp", "ct", "ck", "cz", "c2"};
                return std::string(kKinds[Pick(0, 9)]) + Nums(4) + " \"" + Text(ascii);
            }
            case 33: return "pt" + Nums(2);
            case 34: return "pt" + Nums(4) + ' ' + std::to_string(Pick(-10, 14));
            case 35: return "BL" + Nums(2) + " b" + std::to_string(Pick(0, 9));
            case 36: {
                // Solids with corners that often coincide.
                const int n = 2 + Pick(0, 2);
                std::string s = "sl";
                std::vector<std::string> pts;
                for (int i = 0; i < n; ++i) {
                    if (!pts.empty() && Pick(0, 2) == 0) {
                        pts.push_back(pts[static_cast<size_t>(Pick(0, i - 1))]);
                    } else {
                        pts.push_back(Nums(2));
                    }
                    s += pts.back();
                }
                return s;
            }
            case 37: {
                static const char* const kCodes[] = {"100", "5", "0", "-1", "1", "2"};
                static const char* const kKeys[] = {"sc", "se"};
                return std::string(kKeys[Pick(0, 1)]) + Nums(7) + ' ' + kCodes[Pick(0, 5)];
            }
            case 38: {
                static const char* const kKeys[] = {"so", "sg"};
                return std::string(kKeys[Pick(0, 1)]) + Nums(8);
            }
            case 39: return "cs" + Nums(4) + " \"" + (Pick(0, 1) ? "" : "12");
            default: {
                // A plain line, sometimes of no length.
                const std::string a = Nums(2);
                return a.substr(1) + (Pick(0, 3) == 0 ? a : Nums(2));
            }
        }
    }

    // A host file: UTF-8 with its mark, plain ASCII (read in the legacy code page) or UTF-16.
    std::string File() {
        const int enc = Pick(0, 3);
        const bool ascii = enc == 1;
        const int n = Pick(5, 120);
        std::string text;
        for (int i = 0; i < n; ++i) {
            text += Line(ascii);
            text += Pick(0, 20) == 0 ? "\n" : "\r\n";
        }
        if (enc == 0 || enc == 1) {
            return (enc == 0 ? "\xEF\xBB\xBF" : "") + text;
        }
        const std::u16string wide = FromUtf8(text);
        std::string out = enc == 2 ? "\xFF\xFE" : "\xFE\xFF";
        for (char16_t c : wide) {
            const char lo = static_cast<char>(c & 0xFF);
            const char hi = static_cast<char>(c >> 8);
            out += enc == 2 ? lo : hi;
            out += enc == 2 ? hi : lo;
        }
        return out;
    }

private:
    std::mt19937 rng_;
};

// ---- What each input gives.

std::string WriteBack(TJGdata& jg, bool grouped, const TDavOverrides& o) {
    jg.StopDavGaibu();
    jg.S_Init();
    if (grouped) {
        jg.S_EntAllp(o.a1, o.a2, o.a3, o.a4, o.a5, o.a6, o.a7, o.a8);
    } else {
        jg.S_EntAll(o.a1, o.a2, o.a3, o.a4, o.a5, o.a6, o.a7, o.a8);
    }
    return jg.TempFileBytes();
}

template <class T>
const T& Rec(const std::vector<T>& list, int no) {
    return list[static_cast<size_t>(no)];
}

// A round solid given as both kinds of its shape (circular: "sc" and "se"; ring: "so" and
// "sg"), with its own attributes or with the current ones.
template <class TLast, class T>
void BothKinds(TJGdata& dst, bool own, const T& e, TLast last,
               void (TJGdata::*firstAt)(TDavEntAttr, double, double, double, double, double, double,
                                        double, TLast),
               void (TJGdata::*secondAt)(TDavEntAttr, double, double, double, double, double,
                                         double, double, TLast),
               void (TJGdata::*first)(double, double, double, double, double, double, double,
                                      TLast),
               void (TJGdata::*second)(double, double, double, double, double, double, double,
                                       TLast)) {
    if (own) {
        (dst.*firstAt)(e.att, e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, last);
        (dst.*secondAt)(e.att, e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, last);
    } else {
        (dst.*first)(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, last);
        (dst.*second)(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, last);
    }
}

// The read model's entities given again through the store's appenders: every other entity
// with its own attributes, the others with the current attributes set from them.
void Rebuild(const TJGdata& src, TJGdata& dst) {
    dst.Mojisyu = src.Mojisyu;
    dst.CurFont = src.CurFont;
    dst.MojiCode = src.MojiCode;
    dst.WidF = src.WidF;
    dst.Zusun = src.Zusun;
    for (int i = 0; i < src.EntN; ++i) {
        const TDavEntNo en = src.EntNo[static_cast<size_t>(i)];
        const bool own = i % 2 == 0;
        auto setCurrent = [&](const TDavEntAttr& a) {
            dst.A_LGrp(a.LGrp);
            dst.A_Lay(a.Lay);
            dst.A_Col(a.Col, i % 3 == 0 ? 1 : 0);
            dst.A_Ltp(a.Ltp, i % 3 == 1 ? 1 : 0);
            dst.A_Wid(a.Wid);
            dst.A_Attr(a.Attr);
        };
        // A round solid, given as both kinds of its shape.
        const auto round = [&](const auto& e) {
            dst.A_SCol(e.Color);
            if (!own) {
                setCurrent(e.att);
            }
            if constexpr (std::is_same_v<std::decay_t<decltype(e)>, TDavEntSldC>) {
                BothKinds<int>(dst, own, e, e.fl, &TJGdata::A_SolidC, &TJGdata::A_SolidD,
                               &TJGdata::A_SolidC, &TJGdata::A_SolidD);
            } else {
                BothKinds<double>(dst, own, e, e.ri, &TJGdata::A_SolidO, &TJGdata::A_SolidG,
                                  &TJGdata::A_SolidO, &TJGdata::A_SolidG);
            }
        };
        switch (en.yn) {
            case kKindLine: {
                const TDavEntLine& e = Rec(src.EntLine, en.no);
                if (own) {
                    dst.A_Line(e.att, e.x1, e.y1, e.x2, e.y2);
                } else {
                    setCurrent(e.att);
                    dst.A_Line(e.x1, e.y1, e.x2, e.y2);
                }
                break;
            }
            case kKindCircle: {
                const TDavEntCircle& e = Rec(src.EntCirc, en.no);
                own ? dst.A_Circle(e.att, e.cx, e.cy, e.cr)
                    : (setCurrent(e.att), dst.A_Circle(e.cx, e.cy, e.cr));
                break;
            }
            case kKindArc: {
                const TDavEntArc& e = Rec(src.EntArc, en.no);
                own ? dst.A_Arc(e.att, e.cx, e.cy, e.cr, e.sa, e.ea, e.he, e.ka)
                    : (setCurrent(e.att), dst.A_Arc(e.cx, e.cy, e.cr, e.sa, e.ea, e.he, e.ka));
                break;
            }
            case kKindText: {
                const TDavEntText& e = Rec(src.EntText, en.no);
                dst.A_Mjs(e.cn, e.mw, e.mh, e.md, e.att.Col, i % 4 == 0 ? 1 : 0);
                dst.A_Mbs(e.cc);
                dst.A_Font(e.fo);
                own ? dst.A_Text(e.att, e.no, e.x1, e.y1, e.x2, e.y2, e.st)
                    : (setCurrent(e.att), dst.A_Text(e.no, e.x1, e.y1, e.x2, e.y2, e.st));
                break;
            }
            case kKindPoint: {
                const TDavEntPnt& e = Rec(src.EntPnt, en.no);
                dst.A_PCol(e.att.Col, i % 3 == 0 ? 1 : 0);
                own ? dst.A_Ten(e.att, e.px, e.py) : (setCurrent(e.att), dst.A_Ten(e.px, e.py));
                break;
            }
            case kKindMark: {
                const TDavEntMark& e = Rec(src.EntMark, en.no);
                dst.A_PCol(e.att.Col, 0);
                own ? dst.A_Mark(e.att, e.px, e.py, e.bai, e.ang, e.cod)
                    : (setCurrent(e.att), dst.A_Mark(e.px, e.py, e.bai, e.ang, e.cod));
                break;
            }
            case kKindDim: {
                const TDavEntDim& e = Rec(src.EntDim, en.no);
                dst.A_Mjs(e.txt.cn, e.txt.mw, e.txt.mh, e.txt.md, e.txt.att.Col, 0);
                dst.A_Mbs(e.txt.cc);
                dst.A_Font(e.txt.fo);
                const std::u16string m = i % 5 == 0 ? u"" : e.txt.st;
                own ? dst.A_Dim(e.att, e.lin.x1, e.lin.y1, e.lin.x2, e.lin.y2, e.txt.x1, e.txt.y1,
                                e.txt.x2, e.txt.y2, m)
                    : (setCurrent(e.lin.att), dst.A_Dim(e.lin.x1, e.lin.y1, e.lin.x2, e.lin.y2,
                                                        e.txt.x1, e.txt.y1, e.txt.x2, e.txt.y2, m));
                break;
            }
            case kKindSolid2: {
                const TDavEntSld2& e = Rec(src.EntSld2, en.no);
                i % 3 == 0 ? dst.A_SColRGB(e.Color & 255, (e.Color >> 8) & 255, e.Color >> 16)
                           : dst.A_SCol(e.Color);
                own ? dst.A_Solid2(e.att, e.x1, e.y1, e.x2, e.y2)
                    : (setCurrent(e.att), dst.A_Solid2(e.x1, e.y1, e.x2, e.y2));
                break;
            }
            case kKindSolid3: {
                const TDavEntSld3& e = Rec(src.EntSld3, en.no);
                dst.A_SCol(e.Color);
                own ? dst.A_Solid3(e.att, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3)
                    : (setCurrent(e.att), dst.A_Solid3(e.x1, e.y1, e.x2, e.y2, e.x3, e.y3));
                // The same corners as a quadrilateral with each pair made to coincide.
                dst.A_Solid4(e.att, e.x1, e.y1, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3);
                dst.A_Solid4(e.x1, e.y1, e.x2, e.y2, e.x1, e.y1, e.x3, e.y3);
                dst.A_Solid4(e.att, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x1, e.y1);
                dst.A_Solid4(e.x1, e.y1, e.x2, e.y2, e.x2, e.y2, e.x3, e.y3);
                dst.A_Solid4(e.att, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x2, e.y2);
                dst.A_Solid4(e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x3, e.y3);
                break;
            }
            case kKindSolid4: {
                const TDavEntSld4& e = Rec(src.EntSld4, en.no);
                dst.A_SCol(e.Color);
                own ? dst.A_Solid4(e.att, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x4, e.y4)
                    : (setCurrent(e.att),
                       dst.A_Solid4(e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x4, e.y4));
                break;
            }
            case kKindSolidC: round(Rec(src.EntSldC, en.no)); break;
            case kKindSolidE: round(Rec(src.EntSldE, en.no)); break;
            case kKindSolidO: round(Rec(src.EntSldO, en.no)); break;
            case kKindSolidG: round(Rec(src.EntSldG, en.no)); break;
            default: break;
        }
    }
}

void Record(const std::string& name, const std::string& bytes, std::uint32_t seed, bool full) {
    std::string out;
    TJGdata jg;
    jg.OpenTempBytes(bytes);
    out += ModelDump::Dump(jg);
    out += "\n--allp\n" + WriteBack(jg, true, TDavOverrides{});
    out += "\n--all\n" + WriteBack(jg, false, TDavOverrides{});
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int k = 0; k < 2; ++k) {
        const TDavOverrides o{pick(-1, 16), pick(-1, 15), pick(0, 2) ? 10 : pick(-2, 12),
                              pick(-1, 5),  pick(-1, 3),  pick(-1, 9),
                              pick(-1, 9),  pick(-1, 300)};
        out += "\n--over\n" + WriteBack(jg, k == 0, o);
    }
    TJGdata re;
    re.S_Init();
    Rebuild(jg, re);
    out += "\n--store\n" + ModelDump::Dump(re);
    out += "\n--store allp\n" + WriteBack(re, true, TDavOverrides{});
    if (full) {
        std::cout << "==== " << name << '\n' << out << '\n';
    } else {
        char h[32];
        std::snprintf(h, sizeof h, "%016llx", static_cast<unsigned long long>(Fnv(out)));
        std::cout << name << ' ' << out.size() << ' ' << h << '\n';
    }
}

}  // namespace

// Arguments: [--full] [--generated N] files or folders...
int main(int argc, char** argv) {
    Platform::SetDecimalSeparator(u'.');
    Platform::SetEscapeProbe({});
    bool full = false;
    int generated = 3000;
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--full") {
            full = true;
        } else if (a == "--generated" && i + 1 < argc) {
            generated = std::stoi(argv[++i]);
        } else if (std::filesystem::is_directory(a)) {
            std::vector<std::filesystem::path> files;
            for (const auto& e : std::filesystem::directory_iterator(a)) {
                if (e.is_regular_file()) {
                    files.push_back(e.path());
                }
            }
            std::sort(files.begin(), files.end());
            inputs.insert(inputs.end(), files.begin(), files.end());
        } else {
            inputs.emplace_back(a);
        }
    }
    std::uint32_t seed = 0;
    for (const auto& p : inputs) {
        Record(p.generic_string(), ReadBytes(p), ++seed, full);
    }
    for (int g = 0; g < generated; ++g) {
        TGen gen(static_cast<std::uint32_t>(g) * 2654435761u);
        Record("generated " + std::to_string(g), gen.File(), ++seed, full);
    }
    return 0;
}
