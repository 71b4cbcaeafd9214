// r407: the program entry: one dialog that places a text in the host's drawing.
#include <thread>

#include <QApplication>
#include <QString>
#include <QStringList>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

#include "StartupWarmUp.h"
#include "Unit1.h"

namespace {

// The program's arguments after its name, as the host passed them. On Windows they come from
// the wide command line, so that a mode in any script arrives whole; elsewhere from argv in
// the locale's encoding.
QStringList HostArguments(int argc, char* argv[]) {
    QStringList args;
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) {
            args << QString::fromWCharArray(wide[i]);
        }
        LocalFree(wide);
    }
#else
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
#endif
    return args;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::jthread fontConfigWarmUp = WarmUpFontConfig();
    // The arguments are the host's: the first one is the start-up mode, whatever it says. Qt
    // gets only the program name, so that a mode that looks like one of its own options
    // ("-reverse", "-style fusion", "-platform …") is neither taken out of the arguments nor
    // applied to the dialog.
    const QStringList hostArguments = HostArguments(argc, argv);
    int qtArgc = argc > 0 ? 1 : 0;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    // The font configuration is whole before the dialog measures its first text.
    if (fontConfigWarmUp.joinable()) {
        fontConfigWarmUp.join();
    }
    const std::jthread warmUp = WarmUpApplication();
    QApplication::setApplicationDisplayName(QStringLiteral("r407－文字の作図"));
    TForm1 form(QCoreApplication::applicationFilePath(), hostArguments);
    // However the dialog closes, the program ends with it, failing when the commands could
    // not be saved for the host.
    QObject::connect(&form, &QDialog::finished, &app,
                     [&form] { QCoreApplication::exit(form.ExitCode()); });
    form.show();
    return app.exec();
}
