// Command writers: a million mixed commands formatted and saved, next to writing the same
// lines with a plain stream loop, once already formatted and once formatting the numbers.
#include <charconv>  // for std::from_chars
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <benchmark/benchmark.h>

#include "exchange/DavGaibu.h"
#include "util/Platform.h"

namespace {

constexpr int kCommands = 1000000;

std::filesystem::path BenchFile(const char* name) {
    return std::filesystem::temp_directory_path() / name;
}

// A drawing's worth of commands: mostly lines, with circles, texts and attribute changes
// in between, some of which repeat the last value and write nothing.
void SendMixed(TJGdata& jg) {
    for (int i = 0; i < kCommands; ++i) {
        const double x = (i % 1000) * 1.25;
        const double y = (i / 1000) * 0.5 - 250.0;
        switch (i % 20) {
            case 0: jg.S_LGrp((i / 400) % 16); break;
            case 1: jg.S_Lay((i / 100) % 16); break;
            case 2: jg.S_Col(1 + (i / 60) % 9, 0); break;
            case 3: jg.S_Ltp(1 + (i / 200) % 5, 0); break;
            case 4: jg.S_Mjs(0, 2.5, 3.0 + (i / 1000) % 3, 0, 2, 0); break;
            case 5: jg.S_Font(i % 40 == 5 ? u"<ＭＳ ゴシック>" : u"<ＭＳ 明朝>"); break;
            case 6:
            case 7: jg.S_Circle(x, y, 0.75 + (i % 7)); break;
            case 8: jg.S_Text(0, x, y, 10, 0, u"寸法 A-12"); break;
            case 9: jg.S_Text(1, x, y, 0, 10, u"Section 3.5"); break;
            default: jg.S_Line(x, y, x + 12.345678, y - 0.001); break;
        }
    }
}

// The lines SendMixed writes, encoded as the saved file holds them, one string each.
const std::vector<std::string>& PlainLines() {
    static const std::vector<std::string> lines = [] {
        TJGdata jg;
        jg.MojiCode = true;
        jg.S_Init();
        SendMixed(jg);
        const std::string bytes = jg.TempFileBytes();
        std::vector<std::string> out;
        out.reserve(static_cast<size_t>(jg.t_MemN));
        std::string_view rest(bytes);
        rest.remove_prefix(3);  // the UTF-8 byte-order mark
        while (!rest.empty()) {
            const size_t end = rest.find("\r\n");
            out.emplace_back(rest.substr(0, end));
            rest.remove_prefix(end + 2);
        }
        return out;
    }();
    return lines;
}

void BM_CommandsAndSave(benchmark::State& state) {
    Platform::SetDecimalSeparator(u'.');
    const std::filesystem::path file = BenchFile("r407_commands_bench.txt");
    int64_t lines = 0;
    for (auto _ : state) {
        TJGdata jg;
        jg.MojiCode = true;
        jg.S_Init();
        SendMixed(jg);
        const std::string bytes = jg.TempFileBytes();
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        benchmark::DoNotOptimize(out.good());
        lines += jg.t_MemN;
    }
    std::filesystem::remove(file);
    state.SetItemsProcessed(lines);
}
BENCHMARK(BM_CommandsAndSave)->Unit(benchmark::kMillisecond);

// The same commands without the save: formatting and collecting the lines alone.
void BM_CommandsOnly(benchmark::State& state) {
    Platform::SetDecimalSeparator(u'.');
    int64_t lines = 0;
    for (auto _ : state) {
        TJGdata jg;
        jg.S_Init();
        SendMixed(jg);
        benchmark::DoNotOptimize(jg.t_Mem.data());
        lines += jg.t_MemN;
    }
    state.SetItemsProcessed(lines);
}
BENCHMARK(BM_CommandsOnly)->Unit(benchmark::kMillisecond);

void BM_PlainStreamLoop(benchmark::State& state) {
    const std::vector<std::string>& plain = PlainLines();
    const std::filesystem::path file = BenchFile("r407_commands_bench_plain.txt");
    int64_t lines = 0;
    for (auto _ : state) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << "\xEF\xBB\xBF";
        for (const std::string& line : plain) {
            out << line << "\r\n";
        }
        out.close();
        benchmark::DoNotOptimize(out.good());
        lines += static_cast<int64_t>(plain.size());
    }
    std::filesystem::remove(file);
    state.SetItemsProcessed(lines);
}
BENCHMARK(BM_PlainStreamLoop)->Unit(benchmark::kMillisecond);

// One blank-separated piece of a line: a number the stream formats, or text written as it is.
struct TPiece {
    std::string text;
    bool isNumber = false;
    double value = 0.0;
};

// The same lines taken apart, so that a plain loop can format their numbers itself.
const std::vector<std::vector<TPiece>>& PlainPieces() {
    static const std::vector<std::vector<TPiece>> lines = [] {
        std::vector<std::vector<TPiece>> out;
        out.reserve(PlainLines().size());
        for (const std::string& line : PlainLines()) {
            std::vector<TPiece>& pieces = out.emplace_back();
            std::string_view rest(line);
            for (;;) {
                const size_t blank = rest.find(' ');
                TPiece& piece = pieces.emplace_back();
                piece.text = rest.substr(0, blank);
                const char* last = piece.text.data() + piece.text.size();
                const auto res = std::from_chars(piece.text.data(), last, piece.value);
                piece.isNumber = res.ec == std::errc() && res.ptr == last;
                if (blank == std::string_view::npos) {
                    break;
                }
                rest.remove_prefix(blank + 1);
            }
        }
        return out;
    }();
    return lines;
}

// The baseline a plain writer would be: the same lines, numbers formatted by the stream with
// 15 significant digits.
void BM_PlainStreamFormatting(benchmark::State& state) {
    const std::vector<std::vector<TPiece>>& plain = PlainPieces();
    const std::filesystem::path file = BenchFile("r407_commands_bench_formatting.txt");
    int64_t lines = 0;
    for (auto _ : state) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << "\xEF\xBB\xBF";
        for (const std::vector<TPiece>& line : plain) {
            for (size_t k = 0; k < line.size(); ++k) {
                if (k > 0) {
                    out << ' ';
                }
                if (line[k].isNumber) {
                    out << std::setprecision(15) << line[k].value;
                } else {
                    out << line[k].text;
                }
            }
            out << "\r\n";
        }
        out.close();
        benchmark::DoNotOptimize(out.good());
        lines += static_cast<int64_t>(plain.size());
    }
    std::filesystem::remove(file);
    state.SetItemsProcessed(lines);
}
BENCHMARK(BM_PlainStreamFormatting)->Unit(benchmark::kMillisecond);

}  // namespace
