// r407: the program entry: one dialog that places a text in the host's drawing.
#include <QApplication>
#include <QString>

#include "Unit1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("r407－文字の作図"));
    TForm1 form;
    // However the dialog closes, the program ends with it, failing when the commands could
    // not be saved for the host.
    QObject::connect(&form, &QDialog::finished, &app,
                     [&form] { QCoreApplication::exit(form.ExitCode()); });
    form.show();
    return app.exec();
}
