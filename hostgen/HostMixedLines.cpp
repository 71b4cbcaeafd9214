// HostMixedLines: each line picks one of 45 shapes of line at random: the settings, the
// attributes, every entity kind, polyline and dimension groups, and plain lines. The values
// come from a short list of numbers where the reader's limits lie (tiny lengths, -0, a
// letter), and texts are short ASCII or Japanese words.
//
// The draws of the random engine, and their order, are what the files of a seed are made of:
// a change here changes every file the tests and the write-back snapshot are made of.
#include "hostgen/HostMixedLines.h"

#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

// The encodings a seed chooses among, in the order of its draw.
constexpr THostEncoding kSeedEncodings[] = {THostEncoding::Utf8, THostEncoding::Cp932,
                                            THostEncoding::Utf16Le, THostEncoding::Utf16Be};

class TMixedLines {
public:
    explicit TMixedLines(std::uint32_t seed) : rng_(seed) {}

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
        const int shape = Pick(0, 44);
        if (shape <= 13) {
            return SettingLine(shape, ascii);
        }
        if (shape <= 25) {
            return AttributeLine(shape, ascii);
        }
        return EntityLine(shape, ascii);
    }

    // The file: its encoding and number of lines drawn first, then the lines, each with its
    // line end (now and then a bare LF).
    void Lines(const THostFileRequest& request, const THostLineSink& emit) {
        const THostEncoding seedEncoding = kSeedEncodings[Pick(0, 3)];
        const THostEncoding encoding = request.encodingBySeed ? seedEncoding : request.encoding;
        const bool ascii = encoding == THostEncoding::Cp932;
        const int drawn = Pick(5, 120);
        const int n = request.entities > 0 ? request.entities : drawn;
        for (int i = 0; i < n; ++i) {
            const std::string line = Line(ascii);
            emit(line, Pick(0, 20) == 0 ? "\n" : "\r\n");
        }
    }

private:
    // The drawing's settings and the host's own lines.
    std::string SettingLine(int shape, bool ascii) {
        switch (shape) {
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
            default: return "lyn " + Text(ascii);
        }
    }

    // The current attributes, picked points and one-shot attributes.
    std::string AttributeLine(int shape, bool ascii) {
        switch (shape) {
            case 14: return "lc" + std::to_string(Pick(-1, 12)) + (Pick(0, 1) ? Nums(1) : "");
            case 15: return std::string("lc10 ") + std::to_string(Pick(-5, 20000000));
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
            default: return "hhp" + std::to_string(Pick(0, 9)) + (Pick(0, 1) ? "ln" : "");
        }
    }

    // Solids with corners that often coincide.
    std::string SolidLine() {
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

    std::string EntityLine(int shape, bool ascii) {
        switch (shape) {
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
            case 36: return SolidLine();
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

    std::mt19937 rng_;
};

}  // namespace

THostEncoding MixedLinesEncoding(const THostFileRequest& request) {
    if (!request.encodingBySeed) {
        return request.encoding;
    }
    TMixedLines gen(request.seed);
    return kSeedEncodings[gen.Pick(0, 3)];
}

void MixedLines(const THostFileRequest& request, const THostLineSink& emit) {
    TMixedLines(request.seed).Lines(request, emit);
}
