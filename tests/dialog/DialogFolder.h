// DialogFolder: a temporary program folder for the dialog's tests: the host's file in it, the
// settings file read and written, and the dialog started as the program starts it.
#pragma once

#include <memory>

#include <QByteArray>
#include <QChar>
#include <QFile>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include "app/Unit1.h"
#include "app/Unit1Settings.h"

class TDialogFolder {
public:
    explicit TDialogFolder(const QByteArray& hostFile) { Write("ZIV_TEMP.TXT", hostFile); }

    QString Path(const QString& name) const { return dir_.filePath(name); }
    void Write(const QString& name, const QByteArray& bytes) const {
        QFile file(Path(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray Read(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool Exists(const QString& name) const { return QFile::exists(Path(name)); }
    // The settings file as lines, without its byte-order mark.
    QStringList SettingsLines() const {
        QString text = QString::fromUtf8(Read("r407.dat"));
        if (text.startsWith(QChar(0xFEFF))) {
            text.remove(0, 1);
        }
        QStringList lines = text.split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty()) {
            lines.removeLast();
        }
        return lines;
    }
    void WriteSettings(const TDialogSettings& s) const {
        QVERIFY(SaveSettingsFile(Path("r407.dat").toStdU16String(), s));
    }

    // The dialog of this folder's program, shown; its messages are collected in messages
    // instead of being shown.
    std::unique_ptr<TForm1> Start(const QStringList& arguments = {}) {
        auto form = std::make_unique<TForm1>(Path("r407"), arguments);
        form->SetMessageHook([this](const QString& text) { messages.append(text); });
        form->show();
        return form;
    }

    QStringList messages;

private:
    QTemporaryDir dir_;
};
