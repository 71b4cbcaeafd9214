// Start-up: the time from starting the program to its dialog on the screen, with the bundled
// host file, with a generated drawing of a million entities and with a damaged settings file
// of 50 MB, next to a Qt program that shows an empty window (minimal) and one that shows a
// window with a single line of Japanese text (label), the least any window with text pays for
// setting up the fonts.
//
// Every iteration starts bench/startup_probe as a new process. The time reported is the mean
// time from the spawn to the probe's word that its window has been painted. Every run of a case
// other than the empty window is paired with a run of the empty window just before it, so that
// both see the same load on the machine. Counters: median_ms, the median of those times;
// vs_minimal, the ratio of that median to the median of the paired empty windows; exit_ms, the
// mean time to the end of the process; cpu_ms, the CPU time the probe used (user and system).
// Each case runs on the xcb platform, in a private Xvfb server that this program starts (or the
// display in DISPLAY when Xvfb is missing), and on the offscreen platform, which needs no X
// server. A table of the medians and ratios follows the usual report.
//
// The "fonts" cases run the same starts with a few hundred font families, as a Japanese desktop
// has, where this machine may have a handful: bench/fonts.sh unpacks a set of Debian's font
// packages into a private folder and prints a fontconfig file that adds them, which only these
// cases see (FONTCONFIG_FILE; R407_BENCH_FONTCONFIG names another file). Their empty windows
// run with the same fonts. Counter families: the font families Qt found.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/resource.h>  // for wait4's usage report
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

#include "hostgen/HostGen.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

constexpr int kEntities = 1000000;
// A run that takes longer than this has hung; it is ended and reported as an error.
constexpr std::chrono::seconds kRunTimeout{120};
constexpr std::chrono::seconds kServerTimeout{10};

// ---------------------------------------------------------------------------------------------
// The host files.

// Writes a drawing of a million entities of every kind (hostgen, as `ziv generate` writes
// it). False when it cannot be written whole.
bool WriteMillionFile(const fs::path& path) {
    THostFileRequest request;
    request.entities = kEntities;
    return WriteHostFile(request, path.u16string());
}

// Writes a settings file damaged as a failing disk or another program may leave one: the
// dialog's fields, then a text history that claims 20,050 entries, of which the first 50 are
// a megabyte each, and an angle history after them. False when it cannot be written whole.
bool WriteDamagedSettings(const fs::path& path) {
    std::ofstream file(path, std::ios::binary);
    file << "\xEF\xBB\xBF"
            "50\r\n50\r\nlast text\r\n";  // the mark, then the first line
    for (int k = 3; k < 138; ++k) {
        file << "0\r\n";
    }
    file << "20050\r\n";
    const std::string big(size_t{1} << 20, 'x');
    for (int i = 0; i < 50; ++i) {
        file << big << i << "\r\n";
    }
    for (int i = 0; i < 20000; ++i) {
        file << "entry " << i << "\r\n";
    }
    file << "1\r\n45\r\n";
    file.close();
    return !file.fail();
}

// The probe's folders: one per input, each holding ZIV_TEMP.TXT and nothing else, and a
// private runtime folder for Qt. Removed when the program ends.
struct TFolders {
    fs::path root;
    fs::path typical;
    fs::path million;
    fs::path damaged;  // the typical host file with a damaged settings file
    fs::path runtime;
    std::string error;

    ~TFolders() {
        std::error_code ec;
        if (!root.empty()) {
            fs::remove_all(root, ec);
        }
    }
};

TFolders& Folders() {
    static TFolders f = [] {
        TFolders f;
        std::string pattern = (fs::temp_directory_path() / "r407-startup-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            f.error = "cannot create a temporary folder";
            return f;
        }
        f.root = pattern;
        f.typical = f.root / "typical";
        f.million = f.root / "million";
        f.damaged = f.root / "damaged";
        f.runtime = f.root / "runtime";
        std::error_code ec;
        fs::create_directory(f.typical, ec);
        fs::create_directory(f.million, ec);
        fs::create_directory(f.damaged, ec);
        fs::create_directory(f.runtime, ec);
        fs::permissions(f.runtime, fs::perms::owner_all, ec);
        fs::copy_file(fs::path(R407_EXAMPLES) / "ZIV_TEMP.TXT", f.typical / "ZIV_TEMP.TXT", ec);
        if (!ec) {
            fs::copy_file(f.typical / "ZIV_TEMP.TXT", f.damaged / "ZIV_TEMP.TXT", ec);
        }
        if (ec) {
            f.error = "cannot copy examples/ZIV_TEMP.TXT";
        } else if (!WriteMillionFile(f.million / "ZIV_TEMP.TXT")) {
            f.error = "cannot write the generated host file";
        } else if (!WriteDamagedSettings(f.damaged / "r407.dat")) {
            f.error = "cannot write the damaged settings file";
        }
        return f;
    }();
    return f;
}

// ---------------------------------------------------------------------------------------------
// Processes.

struct TPipe {
    int r = -1;
    int w = -1;
    TPipe() {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) == 0) {
            r = fds[0];
            w = fds[1];
        }
    }
    ~TPipe() {
        CloseRead();
        CloseWrite();
    }
    TPipe(const TPipe&) = delete;
    TPipe& operator=(const TPipe&) = delete;
    void CloseRead() {
        if (r >= 0) {
            close(r);
            r = -1;
        }
    }
    void CloseWrite() {
        if (w >= 0) {
            close(w);
            w = -1;
        }
    }
};

// Starts argv[0] (searched in PATH) with its standard output on fd outFd (or /dev/null when
// negative) and its error output on /dev/null. Also hands fd extraFd to the child as extraAs.
// Returns the process id, or -1.
pid_t Spawn(const std::vector<std::string>& args, char** envp, int outFd, int extraFd = -1,
            int extraAs = -1) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (outFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (extraFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, extraFd, extraAs);
    }
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

// Reads from fd until the text holds a line break, the pipe ends or the deadline passes.
// Returns what was read, or nothing on timeout.
std::optional<std::string> ReadLine(int fd, TClock::time_point deadline) {
    std::string text;
    while (text.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        pollfd p{fd, POLLIN, 0};
        const int n = poll(&p, 1, static_cast<int>(left.count()));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n == 0 ? std::nullopt : std::optional<std::string>(text);
        }
        char buf[256];
        const ssize_t got = read(fd, buf, sizeof buf);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        text.append(buf, static_cast<size_t>(got));
    }
    return text;
}

// Waits for pid until the deadline; a process still running then is killed. Returns its
// usage report when it ended by itself with status 0.
std::optional<rusage> Reap(pid_t pid, TClock::time_point deadline) {
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t done = wait4(pid, &status, WNOHANG, &usage);
        if (done == pid) {
            break;
        }
        if (done < 0 && errno != EINTR) {
            return std::nullopt;
        }
        if (TClock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return usage;
}

// A private X server, started with the first xcb case and stopped at the end.
struct TXServer {
    pid_t pid = -1;
    std::string display;

    ~TXServer() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            Reap(pid, TClock::now() + kServerTimeout);
        }
    }
};

TXServer& XServer() {
    static TXServer x = [] {
        TXServer x;
        TPipe ready;
        // The server writes its display number to fd 9 once it accepts connections.
        x.pid = Spawn({"Xvfb", "-displayfd", "9", "-screen", "0", "1280x1024x24", "-dpi", "96",
                       "-nolisten", "tcp", "-noreset"},
                      environ, -1, ready.w, 9);
        ready.CloseWrite();
        if (x.pid > 0) {
            const auto line = ReadLine(ready.r, TClock::now() + kServerTimeout);
            if (line && !line->empty() && line->front() != '\n') {
                x.display = ":" + line->substr(0, line->find('\n'));
                return x;
            }
            kill(x.pid, SIGTERM);
            Reap(x.pid, TClock::now() + kServerTimeout);
            x.pid = -1;
        }
        if (const char* d = std::getenv("DISPLAY"); d != nullptr && *d != '\0') {
            x.display = d;
        }
        return x;
    }();
    return x;
}

// The probe's environment: ours, with the platform, the display and the runtime folder set
// and the input-method and theme plug-ins of the desktop left out.
// With a fontconfig file, the probe takes its fonts from that file.
std::vector<std::string> ProbeEnvironment(const std::string& platform, const std::string& display,
                                          const std::string& fontconfig) {
    constexpr std::string_view kDropped[] = {
        "QT_QPA_PLATFORM=",      "DISPLAY=",    "XDG_RUNTIME_DIR=", "QT_IM_MODULE=",
        "QT_QPA_PLATFORMTHEME=", "XMODIFIERS=", "WAYLAND_DISPLAY=", "FONTCONFIG_FILE="};
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string_view v(*e);
        bool dropped = false;
        for (std::string_view d : kDropped) {
            dropped = dropped || v.starts_with(d);
        }
        if (!dropped) {
            env.emplace_back(v);
        }
    }
    env.push_back("QT_QPA_PLATFORM=" + platform);
    env.push_back("XDG_RUNTIME_DIR=" + Folders().runtime.string());
    if (!display.empty()) {
        env.push_back("DISPLAY=" + display);
    }
    if (!fontconfig.empty()) {
        env.push_back("FONTCONFIG_FILE=" + fontconfig);
    }
    return env;
}

// The fontconfig file of the fonts cases: R407_BENCH_FONTCONFIG, or the one bench/fonts.sh
// prepares (downloading the fonts on its first call). Empty when there is none.
const std::string& FontConfigFile() {
    static const std::string file = []() -> std::string {
        if (const char* f = std::getenv("R407_BENCH_FONTCONFIG"); f != nullptr && *f != '\0') {
            return f;
        }
        FILE* script = popen(R407_BENCH_FONTS_SCRIPT, "r");
        if (script == nullptr) {
            return {};
        }
        std::string out;
        char buf[512];
        while (std::fgets(buf, sizeof buf, script) != nullptr) {
            out += buf;
        }
        if (pclose(script) != 0) {
            return {};
        }
        while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) {
            out.pop_back();
        }
        return fs::exists(out) ? out : std::string();
    }();
    return file;
}

struct TRun {
    double shown = 0;   // seconds from spawn to the first paint
    double exited = 0;  // seconds from spawn to the end of the process
    double cpu = 0;     // seconds of CPU the probe used
    std::string error;
};

TRun RunProbe(const std::vector<std::string>& args, std::vector<std::string>& env) {
    TRun run;
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    TPipe out;
    const auto start = TClock::now();
    const auto deadline = start + kRunTimeout;
    const pid_t pid = Spawn(args, envp.data(), out.w);
    out.CloseWrite();
    if (pid < 0) {
        run.error = "cannot start " + args.front();
        return run;
    }
    const auto line = ReadLine(out.r, deadline);
    const auto shown = TClock::now();
    const auto usage = Reap(pid, deadline);
    const auto exited = TClock::now();
    if (!line || line->rfind("shown\n", 0) != 0) {
        run.error = "the probe did not show its window";
        return run;
    }
    if (!usage) {
        run.error = "the probe did not end cleanly";
        return run;
    }
    const auto secs = [](auto d) { return std::chrono::duration<double>(d).count(); };
    run.shown = secs(shown - start);
    run.exited = secs(exited - start);
    run.cpu = static_cast<double>(usage->ru_utime.tv_sec + usage->ru_stime.tv_sec) +
              static_cast<double>(usage->ru_utime.tv_usec + usage->ru_stime.tv_usec) / 1e6;
    return run;
}

// ---------------------------------------------------------------------------------------------
// The benchmark.

enum class TInput { kMinimal, kLabel, kTypical, kMillion, kDamagedSettings };

struct TResult {
    double median = 0;  // seconds to the first paint
    double ratio = 0;   // to the empty window started just before each run; 0 for that one
};

// The results by platform and input, for the summary.
std::map<std::string, std::map<TInput, TResult>>& Results() {
    static std::map<std::string, std::map<TInput, TResult>> results;
    return results;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::vector<std::string> ProbeArguments(TInput input, const TFolders& f) {
    switch (input) {
        case TInput::kMinimal: return {R407_STARTUP_PROBE, "--minimal"};
        case TInput::kLabel: return {R407_STARTUP_PROBE, "--label"};
        // Mode "1": the text goes to a picked point, the most common way the host starts us.
        case TInput::kTypical: return {R407_STARTUP_PROBE, f.typical.string(), "1"};
        case TInput::kMillion: return {R407_STARTUP_PROBE, f.million.string(), "1"};
        case TInput::kDamagedSettings: return {R407_STARTUP_PROBE, f.damaged.string(), "1"};
    }
    return {};
}

// The number of font families the probe finds in env, or 0.
int CountFamilies(std::vector<std::string> env) {
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    TPipe out;
    const pid_t pid = Spawn({R407_STARTUP_PROBE, "--families"}, envp.data(), out.w);
    out.CloseWrite();
    if (pid < 0) {
        return 0;
    }
    const auto deadline = TClock::now() + kRunTimeout;
    const auto line = ReadLine(out.r, deadline);
    Reap(pid, deadline);
    return line ? std::atoi(line->c_str()) : 0;
}

void Startup(benchmark::State& state, const char* platform, TInput input, bool fonts) {
    const std::string plat = platform;
    std::string display;
    if (plat == "xcb") {
        display = XServer().display;
        if (display.empty()) {
            state.SkipWithError("no X display: install Xvfb (package xvfb) or set DISPLAY");
            return;
        }
    }
    const TFolders& f = Folders();
    if (!f.error.empty() && input != TInput::kMinimal && input != TInput::kLabel) {
        state.SkipWithError(f.error.c_str());
        return;
    }
    const std::vector<std::string> args = ProbeArguments(input, f);
    const std::vector<std::string> minimal = ProbeArguments(TInput::kMinimal, f);
    const bool paired = input != TInput::kMinimal;
    std::string fontconfig;
    if (fonts) {
        fontconfig = FontConfigFile();
        if (fontconfig.empty()) {
            state.SkipWithError("no font set: bench/fonts.sh failed (it needs apt-get download)");
            return;
        }
    }
    std::vector<std::string> env = ProbeEnvironment(plat, display, fontconfig);

    // One start outside the measurement brings the libraries and the host file into the cache.
    if (const TRun warm = RunProbe(args, env); !warm.error.empty()) {
        state.SkipWithError(warm.error.c_str());
        return;
    }
    std::vector<double> shown, base;
    double exited = 0, cpu = 0;
    for (auto _ : state) {
        const TRun pair = paired ? RunProbe(minimal, env) : TRun{};
        const TRun run = RunProbe(args, env);
        if (!run.error.empty() || !pair.error.empty()) {
            state.SkipWithError((run.error.empty() ? pair.error : run.error).c_str());
            break;
        }
        state.SetIterationTime(run.shown);
        shown.push_back(run.shown);
        base.push_back(pair.shown);
        exited += run.exited;
        cpu += run.cpu;
    }
    if (shown.empty() || state.error_occurred()) {
        return;
    }
    const auto n = static_cast<double>(shown.size());
    TResult& r = Results()[fonts ? plat + " fonts" : plat][input];
    r.median = Median(shown);
    state.counters["median_ms"] = r.median * 1e3;
    state.counters["exit_ms"] = exited * 1e3 / n;
    state.counters["cpu_ms"] = cpu * 1e3 / n;
    if (paired) {
        r.ratio = r.median / Median(base);
        state.counters["vs_minimal"] = r.ratio;
    }
    state.counters["families"] = CountFamilies(env);
}

std::string Cell(double v, double scale) {
    if (v <= 0) {
        return "-";
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v * scale);
    return buf;
}

// The medians, the ratios to the empty window that the goal speaks of, and the dialog's
// ratio to the window with a label: what the dialog costs beyond showing any text at all.
void PrintSummary() {
    if (Results().empty()) {
        return;
    }
    std::printf(
        "\nStart-up to the window shown: median ms; ratios to the empty window started just "
        "before each run\n(goal: typical at most 1.5), and typical to label\n");
    std::printf("%-14s %8s %8s %8s %8s   %7s %7s %7s   %13s\n", "platform", "minimal", "label",
                "typical", "1M", "label", "typical", "1M", "typical/label");
    for (auto& [plat, m] : Results()) {
        using I = TInput;
        const double overLabel = m[I::kLabel].median > 0 && m[I::kTypical].median > 0
                                     ? m[I::kTypical].median / m[I::kLabel].median
                                     : 0;
        std::printf(
            "%-14s %8s %8s %8s %8s   %7s %7s %7s   %13s\n", plat.c_str(),
            Cell(m[I::kMinimal].median, 1e3).c_str(), Cell(m[I::kLabel].median, 1e3).c_str(),
            Cell(m[I::kTypical].median, 1e3).c_str(), Cell(m[I::kMillion].median, 1e3).c_str(),
            Cell(m[I::kLabel].ratio, 1).c_str(), Cell(m[I::kTypical].ratio, 1).c_str(),
            Cell(m[I::kMillion].ratio, 1).c_str(), Cell(overLabel, 1).c_str());
    }
}

}  // namespace

// Each case in a fixed number of starts.
#define R407_STARTUP_WITH(name, platform, input, fonts, starts)      \
    BENCHMARK_CAPTURE(Startup, name, platform, TInput::input, fonts) \
        ->Iterations(starts)                                         \
        ->UseManualTime()                                            \
        ->Unit(benchmark::kMillisecond)
#define R407_STARTUP(name, platform, input, starts) \
    R407_STARTUP_WITH(name, platform, input, false, starts)

R407_STARTUP(xcb_minimal, "xcb", kMinimal, 20);
R407_STARTUP(xcb_label, "xcb", kLabel, 20);
R407_STARTUP(xcb_typical, "xcb", kTypical, 20);
R407_STARTUP(xcb_1M, "xcb", kMillion, 20);
R407_STARTUP(xcb_damaged_settings, "xcb", kDamagedSettings, 20);
R407_STARTUP_WITH(xcb_minimal_fonts, "xcb", kMinimal, true, 20);
R407_STARTUP_WITH(xcb_label_fonts, "xcb", kLabel, true, 20);
R407_STARTUP_WITH(xcb_typical_fonts, "xcb", kTypical, true, 20);
R407_STARTUP(offscreen_minimal, "offscreen", kMinimal, 20);
R407_STARTUP(offscreen_label, "offscreen", kLabel, 20);
R407_STARTUP(offscreen_typical, "offscreen", kTypical, 20);
R407_STARTUP(offscreen_1M, "offscreen", kMillion, 20);
R407_STARTUP(offscreen_damaged_settings, "offscreen", kDamagedSettings, 20);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary();
    return 0;
}
