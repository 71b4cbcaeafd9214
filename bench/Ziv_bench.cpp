// The ziv tool on a generated drawing of a million entities of every kind: info and dump next to
// the library's own load of the same bytes, write (the dump read back and written) next to the
// library's own write-back of the loaded model. The ZivProcess runs start the real program on
// the file, its output thrown away, and report its peak resident size (PeakRSS_MB): info,
// dump, write and audit of that file, dump and write into a file (-o), and dump and audit of
// ten megabytes of empty lines.
#include <cstdio>
#include <cstdlib>  // for std::atexit
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/resource.h>  // for wait4 and rusage
#include <sys/wait.h>
#include <unistd.h>  // for fork and exec

#include <benchmark/benchmark.h>

#include "exchange/DavGaibu.h"
#include "hostgen/HostGen.h"
#include "util/Platform.h"
#include "util/TextFile.h"
#include "ziv/ZivDump.h"
#include "ziv/ZivInfo.h"
#include "ziv/ZivModelJson.h"
#include "ziv/ZivWriteBack.h"

namespace {

namespace fs = std::filesystem;

const std::string& Bytes() {
    // A drawing of a million entities of every kind in UTF-8 (hostgen, as `ziv generate`
    // writes it).
    static const std::string bytes = [] {
        THostFileRequest request;
        request.entities = 1000000;
        return GenerateHostFile(request);
    }();
    return bytes;
}

const std::string& DumpText() {
    static const std::string text = [] {
        TJGdata jg;
        jg.OpenTempBytes(Bytes());
        std::string t;
        TZivOutput out(&t);
        DumpModel(jg, "utf8", out);
        return t;
    }();
    return text;
}

void LibraryLoad(benchmark::State& state) {
    for (auto _ : state) {
        TJGdata jg;
        jg.OpenTempBytes(Bytes());
        benchmark::DoNotOptimize(jg.EntN);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Bytes().size()));
}

void ZivInfo(benchmark::State& state) {
    for (auto _ : state) {
        TJGdata jg;
        jg.OpenTempBytes(Bytes());
        benchmark::DoNotOptimize(InfoText(jg, "utf8"));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Bytes().size()));
}

// The JSON goes to the null device, as `ziv dump F > /dev/null` writes it.
void ZivDump(benchmark::State& state) {
    std::FILE* sink = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        TJGdata jg;
        jg.OpenTempBytes(Bytes());
        TZivOutput out(sink);
        DumpModel(jg, "utf8", out);
        out.Commit();
    }
    std::fclose(sink);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Bytes().size()));
    state.counters["json_MB"] = static_cast<double>(DumpText().size()) / 1e6;
}

void LibraryWriteBack(benchmark::State& state) {
    TJGdata jg;
    jg.OpenTempBytes(Bytes());
    for (auto _ : state) {
        jg.StopDavGaibu();
        jg.S_Init();
        jg.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
        benchmark::DoNotOptimize(jg.TempFileBytes());
    }
}

// The commands go to the null device as ziv write sends them: a piece at a time as made.
void ZivWrite(benchmark::State& state) {
    const std::string& json = DumpText();
    std::FILE* sink = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        TJGdata jg;
        ReadModelJson(json, jg);
        TZivOutput out(sink);
        WriteModelBack(jg, false, out);
        out.Commit();
    }
    std::fclose(sink);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(json.size()));
}

// The files the real program reads: written by a child process, so that this process never
// holds them and the program's peak below is its own (a child's peak counts the memory of the
// process it was forked from). Removed when the benchmarks end.
const fs::path& ProcessFiles() {
    static const fs::path dir = [] {
        const fs::path d = fs::temp_directory_path() / ("ziv_bench_" + std::to_string(getpid()));
        fs::create_directories(d);
        const pid_t pid = fork();
        if (pid == 0) {
            // Ten megabytes of empty lines: what made audit need 55 times the file's size.
            std::string empty;
            for (int i = 0; i < 5'000'000; ++i) {
                empty += "\r\n";
            }
            const bool ok = WriteFileReplacing(FromUtf8((d / "HOST.TXT").string()), Bytes()) &&
                            WriteFileReplacing(FromUtf8((d / "MODEL.json").string()), DumpText()) &&
                            WriteFileReplacing(FromUtf8((d / "EMPTY.TXT").string()), empty);
            _exit(ok ? 0 : 1);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        std::atexit([] { fs::remove_all(ProcessFiles()); });
        return d;
    }();
    return dir;
}

// The real program on a file, its output thrown away (to standard output, or with toFile to a
// file written with -o): the wall time of one run and its peak resident size, also as a
// multiple of the input file's size.
void ZivProcessPeak(benchmark::State& state, std::string command, std::string file, bool toFile) {
    const fs::path& dir = ProcessFiles();
    const std::string input = (dir / file).string();
    const std::string output = (dir / "OUT").string();
    const double fileMb = static_cast<double>(fs::file_size(input)) / 1e6;
    long peakKb = 0;
    for (auto _ : state) {
        const pid_t pid = fork();
        if (pid == 0) {
            if (std::freopen("/dev/null", "w", stdout) == nullptr) {
                _exit(126);
            }
            if (toFile) {
                execl(R407_ZIV, R407_ZIV, command.c_str(), input.c_str(), "-o", output.c_str(),
                      static_cast<char*>(nullptr));
            } else {
                execl(R407_ZIV, R407_ZIV, command.c_str(), input.c_str(),
                      static_cast<char*>(nullptr));
            }
            _exit(127);
        }
        int status = 0;
        rusage use{};
        wait4(pid, &status, 0, &use);
        if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != 1)) {
            state.SkipWithError("ziv failed");
            break;
        }
        peakKb = use.ru_maxrss;
    }
    state.counters["PeakRSS_MB"] = static_cast<double>(peakKb) / 1024.0;
    state.counters["PeakRSSxFile"] = static_cast<double>(peakKb) / 1024.0 / fileMb;
}

struct TDecimalPoint {
    TDecimalPoint() { Platform::SetDecimalSeparator(u'.'); }
} decimalPoint;

}  // namespace

// The program runs first, while this process is still small.
#define ZIV_PROCESS(name, command, file, toFile)                                             \
    BENCHMARK_CAPTURE(ZivProcessPeak, name, std::string(command), std::string(file), toFile) \
        ->Name("ZivProcess/" #name)                                                          \
        ->Unit(benchmark::kMillisecond)                                                      \
        ->UseRealTime()                                                                      \
        ->Iterations(1)
ZIV_PROCESS(info, "info", "HOST.TXT", false);
ZIV_PROCESS(dump, "dump", "HOST.TXT", false);
ZIV_PROCESS(dump_to_file, "dump", "HOST.TXT", true);
ZIV_PROCESS(write, "write", "MODEL.json", false);
ZIV_PROCESS(write_to_file, "write", "MODEL.json", true);
ZIV_PROCESS(audit, "audit", "HOST.TXT", false);
ZIV_PROCESS(dump_empty_lines, "dump", "EMPTY.TXT", false);
ZIV_PROCESS(audit_empty_lines, "audit", "EMPTY.TXT", false);
BENCHMARK(LibraryLoad)->Name("Library/load")->Unit(benchmark::kMillisecond);
BENCHMARK(ZivInfo)->Name("Ziv/info")->Unit(benchmark::kMillisecond);
BENCHMARK(ZivDump)->Name("Ziv/dump")->Unit(benchmark::kMillisecond);
BENCHMARK(LibraryWriteBack)->Name("Library/writeback")->Unit(benchmark::kMillisecond);
BENCHMARK(ZivWrite)->Name("Ziv/write")->Unit(benchmark::kMillisecond);
