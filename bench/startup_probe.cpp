// startup_probe: starts the dialog the way r407 does and ends once it is on the screen.
//
//   startup_probe FOLDER [MODE]   the dialog, as if the program lived in FOLDER (which holds
//                                 ZIV_TEMP.TXT), started by the host with MODE
//   startup_probe --minimal       an empty top-level widget, the floor any Qt program pays
//   startup_probe --label         the same with one line of Japanese text in it, the floor of
//                                 a window that shows text: the font system is set up and a
//                                 Japanese font is found and loaded
//   startup_probe --families      prints the number of font families Qt finds and ends
//
// When the window has been painted for the first time the probe writes "shown\n" to its
// standard output and quits. It never closes the dialog through OK, so nothing is written to
// the folder: no exchange file, no settings file.
#include <cstdio>
#include <cstring>

#include <thread>

#include <QApplication>
#include <QFontDatabase>
#include <QEvent>
#include <QLabel>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "app/StartupWarmUp.h"
#include "app/Unit1.h"

namespace {

// Watches one window for its first paint, then reports it and ends the event loop.
//
// The dialog's start-up (FormShow) runs inside its show event, which show() delivers before
// the window is mapped; the first paint follows only once the window system has exposed the
// mapped window. So the first paint of the window comes after start-up has finished and marks
// the moment the user sees the dialog. The quit is queued so that the paint completes and its
// result is flushed to the window system before the loop ends.
class TFirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint) {
            seen_ = true;
            QTimer::singleShot(0, qApp, [] {
                std::fputs("shown\n", stdout);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    // The dialog starts as r407 starts it, with the same work beside the main thread; the
    // plain windows are the floor of any Qt program and start without it.
    const bool dialog = argc > 1 && std::strncmp(argv[1], "--", 2) != 0;
    std::jthread fontConfigWarmUp = dialog ? WarmUpFontConfig() : std::jthread();
    QApplication app(argc, argv);
    // The font configuration is whole before the dialog measures its first text.
    if (fontConfigWarmUp.joinable()) {
        fontConfigWarmUp.join();
    }
    const std::jthread warmUp = dialog ? WarmUpApplication() : std::jthread();
    QApplication::setApplicationDisplayName(QStringLiteral("r407－文字の作図"));
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        std::fputs("usage: startup_probe FOLDER [MODE] | --minimal | --label | --families\n",
                   stderr);
        return 2;
    }
    if (args.first() == QLatin1String("--families")) {
        std::printf("%lld\n", static_cast<long long>(QFontDatabase::families().size()));
        return 0;
    }
    TFirstPaint watcher;
    if (args.first() == QLatin1String("--minimal") || args.first() == QLatin1String("--label")) {
        QWidget window;
        if (args.first() == QLatin1String("--label")) {
            auto* label = new QLabel(QStringLiteral("文字の作図"), &window);
            label->move(8, 8);
        }
        window.installEventFilter(&watcher);
        window.show();
        return app.exec();
    }
    // The program path only tells the dialog its folder and the settings file's name.
    TForm1 form(args.first() + QStringLiteral("/r407"), args.mid(1));
    QObject::connect(&form, &QDialog::finished, &app, &QCoreApplication::quit);
    form.installEventFilter(&watcher);
    form.show();
    return app.exec();
}
