// The preview panel: its first drawing of a generated drawing of 100k and of 1M entities (the
// host's entities drawn into the cached picture, then the text over it), a redraw after a keystroke
// in the text box (the placement made anew, only the text layer drawn over the cached
// picture), and the start-up with the panel closed and open on the bundled example: of the
// whole program (bench/startup_probe, a new process each time) and of the dialog alone.
//
// Counters: median_ms, the median of the iterations' wall times; cpu_median_ms, the median of
// the CPU time of the dialog's own thread, the time it cannot answer the user (the scene of
// the first drawing is built on a thread of its own); for the start-up, open_vs_closed is the
// ratio of the two medians (goal at most 1.2). Runs on Qt's offscreen platform.
#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <time.h>  // for clock_gettime
#include <unistd.h>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QString>

#include <benchmark/benchmark.h>

#include "app/PreviewPanel.h"
#include "app/PreviewView.h"
#include "app/Unit1.h"
#include "app/Unit1Logic.h"
#include "app/Unit1Settings.h"
#include "exchange/DavGaibu.h"
#include "hostgen/HostGen.h"
#include "scene/DavScene.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

// The panel's drawing area at the dialog's height.
constexpr int kViewWidth = 432;
constexpr int kViewHeight = 343;

// A drawing of n entities of every kind spread over an A1 sheet (hostgen, as `ziv generate`
// writes it), with two picked points.
std::string HostFile(int n) {
    THostFileRequest request;
    request.entities = n;
    return GenerateHostFile(request);
}

// A program folder per input, removed at the end.
struct TFolder {
    fs::path path;
    explicit TFolder(const std::string& name, const std::string& host) {
        path = fs::temp_directory_path() / ("r407-preview-bench-" + name);
        fs::create_directories(path);
        std::ofstream(path / "ZIV_TEMP.TXT", std::ios::binary) << host;
    }
    ~TFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    QString Program() const { return QString::fromStdString((path / "r407").string()); }
    void PanelOpen(bool open) const {
        TDialogSettings s = DefaultSettings(-1);
        s.text = u"境界線 No.1";
        s.previewOpen = open;
        SaveSettingsFile((path / "r407.dat").u16string(), s);
    }
};

TFolder& Folder(int entities) {
    static std::map<int, std::unique_ptr<TFolder>> folders;
    auto& f = folders[entities];
    if (!f) {
        f = std::make_unique<TFolder>(std::to_string(entities), HostFile(entities));
    }
    return *f;
}

TFolder& Example() {
    static TFolder folder("example", [] {
        std::ifstream in(fs::path(R407_EXAMPLES) / "ZIV_TEMP.TXT", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }());
    return folder;
}

double Median(std::vector<double> v) {
    if (v.empty()) {
        return 0.0;
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Seconds(TClock::time_point from) {
    return std::chrono::duration<double>(TClock::now() - from).count();
}

// The CPU time of this thread, the dialog's: on a busy machine the wall time also counts the
// waits for a core, this does not.
double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Runs body once per iteration, timed on the wall clock (the iteration's time) and on this
// thread's CPU clock; sets the counters median_ms and cpu_median_ms.
template <class F>
void TimeEach(benchmark::State& state, F&& body) {
    std::vector<double> times, cpu;
    for (auto _ : state) {
        const double cpuStart = ThreadSeconds();
        const auto start = TClock::now();
        body();
        const double s = Seconds(start);
        cpu.push_back(ThreadSeconds() - cpuStart);
        times.push_back(s);
        state.SetIterationTime(s);
    }
    state.counters["median_ms"] = Median(times) * 1e3;
    state.counters["cpu_median_ms"] = Median(cpu) * 1e3;
}

// A dialog on the host file, started as the program starts it, with the panel as asked.
std::unique_ptr<TForm1> StartDialog(const TFolder& folder, bool panelOpen) {
    folder.PanelOpen(panelOpen);
    auto form = std::make_unique<TForm1>(folder.Program(), QStringList{QStringLiteral("3")});
    form->show();
    QApplication::processEvents();
    return form;
}

// Building the drawing scene of the host's entities, the first step of the first drawing.
void BM_PreviewScene(benchmark::State& state) {
    const auto form = StartDialog(Folder(static_cast<int>(state.range(0))), false);
    TimeEach(state, [&] {
        DavScene::TScene scene = DavScene::BuildScene(*form->JG);
        benchmark::DoNotOptimize(scene.prims.data());
    });
}

// The first drawing: a new view of the host's entities and the text, painted once its scene
// has been built (on a thread of its own, while the dialog goes on).
void BM_PreviewFirstDraw(benchmark::State& state) {
    const auto form = StartDialog(Folder(static_cast<int>(state.range(0))), false);
    TTextInput in;
    in.text = u"境界線";
    const TTextPlacement p = PlaceText(in, *form->JG).placement;
    TimeEach(state, [&] {
        TPreviewView view;
        view.resize(kViewWidth, kViewHeight);
        view.SetHost(form->JG.get());
        view.SetText(p);
        while (!view.HostReady()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        const QImage image = view.grab().toImage();
        benchmark::DoNotOptimize(image.constBits());
    });
}

// A keystroke in the text box with the panel open: the placement made anew from the dialog's
// controls and the panel painted (the cached host picture and the text layer).
void BM_PreviewKeystroke(benchmark::State& state) {
    const auto form = StartDialog(Folder(static_cast<int>(state.range(0))), true);
    TPreviewView* view = form->Preview->View;
    while (!view->HostReady()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    view->grab();  // the host's entities into the cached picture
    const int renders = view->HostRenders();
    QLineEdit* edit = form->ComboBox1->lineEdit();
    edit->setText(QStringLiteral("境界線"));
    int i = 0;
    TimeEach(state, [&] {
        if (++i % 2 != 0) {
            edit->insert(QStringLiteral("字"));
        } else {
            edit->backspace();
        }
        const QImage image = view->grab().toImage();
        benchmark::DoNotOptimize(image.constBits());
    });
    state.counters["host_redraws"] = view->HostRenders() - renders;
}

// The dialog from construction to its first paint on the example host file.
double StartOnce(bool panelOpen) {
    const auto start = TClock::now();
    const auto form = StartDialog(Example(), panelOpen);
    const QImage image = form->grab().toImage();
    benchmark::DoNotOptimize(image.constBits());
    return Seconds(start);
}

// The program's start as the user sees it: bench/startup_probe started as a new process on
// the example host file, from the spawn to its word that the dialog has been painted.
double StartProcess(bool panelOpen) {
    Example().PanelOpen(panelOpen);
    int fds[2];
    if (pipe(fds) != 0) {
        return 0.0;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const std::string folder = Example().path.string();
    std::string program = R407_STARTUP_PROBE, mode = "3";
    char* argv[] = {program.data(), const_cast<char*>(folder.c_str()), mode.data(), nullptr};
    const auto start = TClock::now();
    pid_t pid = -1;
    const bool spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    char buf[64];
    const bool shown = spawned && read(fds[0], buf, sizeof buf) > 0;
    const double s = Seconds(start);
    close(fds[0]);
    int status = 0;
    if (spawned) {
        waitpid(pid, &status, 0);
    }
    return shown ? s : 0.0;
}

// Starts with the panel closed and open in turn, so that both see the same load on the
// machine; the time reported is that of the open panel, the closed one is its baseline.
void BM_DialogStart(benchmark::State& state) {
    StartOnce(false);  // fonts and caches warmed for both alike
    StartOnce(true);
    std::vector<double> closed, open;
    for (auto _ : state) {
        closed.push_back(StartOnce(false));
        open.push_back(StartOnce(true));
        state.SetIterationTime(open.back());
    }
    state.counters["closed_median_ms"] = Median(closed) * 1e3;
    state.counters["open_median_ms"] = Median(open) * 1e3;
    if (Median(closed) > 0) {
        state.counters["open_vs_closed"] = Median(open) / Median(closed);
    }
}

// The same for the whole program, each start a new process.
void BM_ProgramStart(benchmark::State& state) {
    std::vector<double> closed, open;
    for (auto _ : state) {
        closed.push_back(StartProcess(false));
        open.push_back(StartProcess(true));
        if (closed.back() <= 0.0 || open.back() <= 0.0) {
            state.SkipWithError("the start-up probe did not show its window");
            return;
        }
        state.SetIterationTime(open.back());
    }
    state.counters["closed_median_ms"] = Median(closed) * 1e3;
    state.counters["open_median_ms"] = Median(open) * 1e3;
    state.counters["open_vs_closed"] = Median(open) / Median(closed);
}

}  // namespace

BENCHMARK(BM_PreviewScene)
    ->ArgName("entities")
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewFirstDraw)
    ->ArgName("entities")
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewKeystroke)
    ->ArgName("entities")
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(60)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramStart)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DialogStart)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    // Offscreen unless a platform was chosen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
