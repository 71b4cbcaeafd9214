// Loading and saving the host's exchange file: a million entity lines of mixed kinds, in UTF-8
// and in CP932, against a plain std::getline split of the same bytes.
//
// Peak memory: run the single load on its own, e.g.
//   TempFile_bench --benchmark_filter='BM_OpenTempFileOnce/utf8'
// and read the counter PeakRSSxFile (peak resident size over file size). The file is streamed
// to disk while it is generated, so the process's peak is the load's own. Repeated loads in
// one process (BM_OpenTempFile) show a higher peak, as the allocator keeps some of the memory
// an earlier load freed. PageFaults counts the minor page faults of one load: every fresh page
// the load touches costs one (a large page counts once), and on a virtual machine the kernel's
// fault path is a large share of the load's time.
//
// The loads and their baseline are timed by the clock on the wall: a large file is counted in
// two halves at once, and the second thread's time would be missing from the CPU time of the
// first.
#include <charconv>  // for std::to_chars
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <istream>
#include <map>
#include <random>
#include <streambuf>
#include <string>
#include <string_view>
#include <sys/resource.h>  // for getrusage
#include <unistd.h>        // for getpid

#include <benchmark/benchmark.h>

#include "exchange/DavGaibu.h"
#include "util/Platform.h"
#include "util/TextFile.h"

namespace {

constexpr int kEntityLines = 1000000;
constexpr size_t kFlushBytes = size_t{1} << 15;

class TLineWriter {
public:
    std::string line;

    void Num(std::mt19937& rng, int range = 10000) {
        // Drawing coordinates with three decimals, as a host writes them.
        const double v =
            static_cast<int>(rng() % (2u * range * 1000u)) / 1000.0 - static_cast<double>(range);
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 3);
        if (!line.empty()) {
            line += ' ';
        }
        line.append(buf, r.ptr);
    }
    void Key(std::string_view key) { line = key; }
};

// Calls emit(line) for every line of a host file: header lines, then entity lines of mixed
// kinds with an attribute change now and then, as a host writes a large selection.
template <class F>
void GenerateHostFile(F&& emit) {
    std::mt19937 rng(407);
    emit("file=C:\\作図\\大きな図面.zmn");
    emit("hk 0");
    emit("hs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1");
    emit("hzs 841 594");
    emit("hcw 2 2.5 3 3.5 4 5 6 7 8 10");
    emit("hch 2 2.5 3 3.5 4 5 6 7 8 10");
    emit("hcd 0 0 0.5 0.5 0.5 1 1 1 1 1");
    emit("hcc 1 1 2 2 2 3 3 4 4 5");
    emit("hp1 10 20");
    emit("hp2 110 120");
    TLineWriter w;
    int made = 0;
    while (made < kEntityLines) {
        if (made % 200 == 0) {
            const char* attrs[] = {"lg1", "ly3", "lc2", "lt1", "lw0", "cn3", "cn$<ＭＳ ゴシック>"};
            emit(attrs[rng() % 7]);
        }
        const unsigned kind = rng() % 100;
        if (kind < 45) {
            w.line.clear();
            for (int k = 0; k < 4; ++k) {
                w.Num(rng);
            }
        } else if (kind < 55) {
            w.Key("ci");
            w.Num(rng), w.Num(rng), w.Num(rng, 100);
        } else if (kind < 60) {
            w.Key("ci");
            w.Num(rng), w.Num(rng), w.Num(rng, 100), w.Num(rng, 360), w.Num(rng, 360);
            w.line += " 1 0";
        } else if (kind < 75) {
            w.Key("ch");
            w.Num(rng), w.Num(rng), w.Num(rng, 10), w.Num(rng, 10);
            w.line += " \"寸法テキスト No." + std::to_string(made);
        } else if (kind < 80) {
            w.Key("pt");
            w.Num(rng), w.Num(rng);
        } else if (kind < 85) {
            w.Key("sl");
            for (int k = 0; k < 8; ++k) {
                w.Num(rng);
            }
        } else if (kind < 90) {
            w.Key("sc");
            w.Num(rng), w.Num(rng), w.Num(rng, 100);
            w.line += " 1 0 0 360 1";
        } else if (kind < 95) {
            emit("pl");
            for (int k = 0; k < 4 && made < kEntityLines; ++k, ++made) {
                w.line.clear();
                for (int c = 0; c < 4; ++c) {
                    w.Num(rng);
                }
                emit(w.line);
            }
            emit("#");
            continue;
        } else {
            emit("msg");
            w.line.clear();
            for (int c = 0; c < 4; ++c) {
                w.Num(rng);
            }
            emit(w.line);
            w.Key("cs");
            w.Num(rng), w.Num(rng), w.Num(rng, 10), w.Num(rng, 10);
            w.line += " \"1234.5";
            made += 2;
            emit(w.line);
            continue;
        }
        emit(w.line);
        ++made;
    }
}

// The generated file, streamed to disk piece by piece, in "utf8" (with its mark) or "cp932".
class THostFiles {
public:
    ~THostFiles() {
        std::error_code ec;
        for (const auto& [name, path] : paths_) {
            std::filesystem::remove(path, ec);
        }
        std::filesystem::remove(SavePath(), ec);
    }

    const std::string& Path(const std::string& enc) {
        auto it = paths_.find(enc);
        if (it != paths_.end()) {
            return it->second;
        }
        const std::string path = Folder() + "-" + enc + ".txt";
        std::ofstream out(path, std::ios::binary);
        std::string piece;
        const auto flush = [&]() {
            if (enc == "utf8") {
                out << piece;
            } else {
                out << Platform::EncodeAnsi(FromUtf8(piece));
            }
            piece.clear();
        };
        if (enc == "utf8") {
            out << "\xEF\xBB\xBF";
        }
        GenerateHostFile([&](std::string_view line) {
            piece += line;
            piece += "\r\n";
            if (piece.size() >= kFlushBytes) {
                flush();
            }
        });
        flush();
        return paths_.emplace(enc, path).first->second;
    }

    std::string Bytes(const std::string& enc) {
        std::string bytes;
        ReadFileBytes(FromUtf8(Path(enc)), bytes);
        return bytes;
    }

    std::string SavePath() const { return Folder() + "-saved.txt"; }

private:
    static std::string Folder() {
        return (std::filesystem::temp_directory_path() / "r407-bench-").string() +
               std::to_string(getpid());
    }
    std::map<std::string, std::string> paths_;
};

THostFiles& Files() {
    static THostFiles files;
    return files;
}

// Reads a string in place, without copying it into a string stream.
class TViewBuf : public std::streambuf {
public:
    explicit TViewBuf(std::string_view s) {
        char* p = const_cast<char*>(s.data());
        setg(p, p, p + s.size());
    }
};

double PeakRssBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

double MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_minflt);
}

void BM_OpenTempBytes(benchmark::State& state, const std::string& enc) {
    const std::string bytes = Files().Bytes(enc);
    int entities = 0;
    for (auto _ : state) {
        TJGdata jg;
        jg.OpenTempBytes(bytes);
        entities = jg.EntN;
        benchmark::DoNotOptimize(entities);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
    state.counters["entities"] = entities;
    state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
}

// The baseline: lines of the same bytes split by std::getline, nothing decoded or parsed.
void BM_GetlineSplit(benchmark::State& state, const std::string& enc) {
    const std::string bytes = Files().Bytes(enc);
    for (auto _ : state) {
        TViewBuf buf(bytes);
        std::istream in(&buf);
        std::string line;
        size_t lines = 0;
        size_t chars = 0;
        while (std::getline(in, line)) {
            ++lines;
            chars += line.size();
        }
        benchmark::DoNotOptimize(lines);
        benchmark::DoNotOptimize(chars);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

void BM_OpenTempFile(benchmark::State& state, const std::string& enc) {
    const std::u16string path = FromUtf8(Files().Path(enc));
    const auto size = static_cast<double>(std::filesystem::file_size(Files().Path(enc)));
    const double faults = MinorFaults();
    for (auto _ : state) {
        TJGdata jg;
        jg.OpenTempFile(path);
        benchmark::DoNotOptimize(jg.EntN);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
    state.counters["PeakRSSxFile"] = PeakRssBytes() / size;
    state.counters["PageFaults"] =
        (MinorFaults() - faults) / static_cast<double>(state.iterations());
}

// One load in a fresh process: the peak a program that loads the file once sees.
void BM_OpenTempFileOnce(benchmark::State& state, const std::string& enc) {
    BM_OpenTempFile(state, enc);
}

// Saving a buffer of the same lines, as a write-back of the whole file would send them.
void BM_SaveTempFile(benchmark::State& state, const std::string& enc) {
    TJGdata jg;
    jg.MojiCode = enc == "utf8";
    GenerateHostFile([&](std::string_view line) { jg.SendMem(FromUtf8(line)); });
    const std::u16string path = FromUtf8(Files().SavePath());
    int64_t size = 0;
    for (auto _ : state) {
        if (!jg.SaveTempFile(path)) {
            state.SkipWithError("save failed");
            break;
        }
        size = static_cast<int64_t>(std::filesystem::file_size(Files().SavePath()));
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["MB"] = static_cast<double>(size) / 1e6;
}

}  // namespace

#define R407_LOAD_CASE(function, enc)                       \
    BENCHMARK_CAPTURE(function, enc, std::string(#enc)) \
        ->UseRealTime()                                 \
        ->Unit(benchmark::kMillisecond)
R407_LOAD_CASE(BM_OpenTempBytes, utf8);
R407_LOAD_CASE(BM_GetlineSplit, utf8);
R407_LOAD_CASE(BM_OpenTempBytes, cp932);
R407_LOAD_CASE(BM_GetlineSplit, cp932);
R407_LOAD_CASE(BM_OpenTempFile, utf8);
R407_LOAD_CASE(BM_OpenTempFile, cp932);
BENCHMARK_CAPTURE(BM_OpenTempFileOnce, utf8, std::string("utf8"))
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenTempFileOnce, cp932, std::string("cp932"))
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveTempFile, utf8, std::string("utf8"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveTempFile, cp932, std::string("cp932"))->Unit(benchmark::kMillisecond);
