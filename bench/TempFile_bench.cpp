// Loading and saving the host's exchange file: a generated drawing of a million entities of
// every kind, in UTF-8 and in CP932, against a plain std::getline split of the same bytes.
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
#include <cstdio>
#include <filesystem>
#include <istream>
#include <map>
#include <streambuf>
#include <string>
#include <string_view>
#include <sys/resource.h>  // for getrusage
#include <unistd.h>        // for getpid

#include <benchmark/benchmark.h>

#include "exchange/DavGaibu.h"
#include "hostgen/HostGen.h"
#include "util/TextFile.h"

namespace {

constexpr int kEntities = 1000000;

// A drawing of a million entities of every kind (hostgen, as `ziv generate` writes it).
THostFileRequest HostFile(const std::string& enc) {
    THostFileRequest request;
    request.entities = kEntities;
    request.encoding = enc == "utf8" ? THostEncoding::Utf8 : THostEncoding::Cp932;
    return request;
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
        WriteHostFile(HostFile(enc), FromUtf8(path));
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
    GenerateHostLines(HostFile(enc),
                      [&](std::string_view line, std::string_view) { jg.SendMem(FromUtf8(line)); });
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

#define R407_LOAD_CASE(function, enc)                   \
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
