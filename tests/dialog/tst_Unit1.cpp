// tst_Unit1: the dialog's widgets, started from a temporary program folder and driven in process.
#include <chrono>
#include <filesystem>
#include <limits>
#include <memory>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include "DialogFolder.h"
#include "app/Unit1.h"
#include "app/Unit1Logic.h"
#include "util/Platform.h"

namespace {

// A host file in UTF-8: text types, current attributes (text type 3), two picked points and
// one selected line drawn at 225 degrees.
const QByteArray kHostFile =
    "\xEF\xBB\xBF"
    "file=C:\\CAD\\plan.zmn\r\n"
    "hk 0\r\n"
    "hcw 2 2.5 3 3.5 4 5 6 7 8 10\r\n"
    "hch 2 2.5 3 3.5 4 5 6 7 8 10\r\n"
    "hcd 0 0 0.5 0.5 0.5 1 1 1 1 1\r\n"
    "hcc 1 1 2 2 2 3 3 4 4 5\r\n"
    "lg0\r\n"
    "ly1\r\n"
    "lc2\r\n"
    "lt1\r\n"
    "cn3\r\n"
    "hp1 10 20\r\n"
    "hp2 110 120\r\n"
    "0 0 -10 -10\r\n";

const QString kMessage = QStringLiteral("文字を入力して下さい。");
const QString kSaveFailed = QStringLiteral("ZIV_TEMP.TXTを保存できませんでした。");
const QString kSizeHint = QStringLiteral("0.1～500の数値を入力して下さい");
const QString kSpacingHint = QStringLiteral("-100～500の数値を入力して下さい");
const QString kColourHint = QStringLiteral("1～9、101～356(SXF1～256)の数値を入力して下さい");
// Stands for the entry "ＭＳ ゴシック" where this machine has that font, else no entry.
const QString kMsGothicOrNone = QStringLiteral("\x01");
const char* const kRowPrefixes[] = {"RB", "EditA", "EditB", "EditC", "EditD", "CB", "CC", "CD"};

QString RowName(const char* prefix, int n) {
    return QLatin1String(prefix) + QString::number(n);
}

// A temporary program folder holding this test's host file.
class TProgramFolder : public TDialogFolder {
public:
    TProgramFolder() : TDialogFolder(kHostFile) {}
};

QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items.append(combo->itemText(i));
    }
    return items;
}

// What a control shows: its text, "1"/"0" for a check mark, the option index of a group.
QString Value(const QWidget* w) {
    if (auto* c = qobject_cast<const QComboBox*>(w)) {
        return c->currentText();
    }
    if (auto* e = qobject_cast<const QLineEdit*>(w)) {
        return e->text();
    }
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
        if (b->isCheckable()) {
            return b->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
        }
        return b->text();
    }
    if (auto* l = qobject_cast<const QLabel*>(w)) {
        return l->text();
    }
    if (auto* g = w->findChild<QButtonGroup*>()) {
        return QString::number(g->checkedId());
    }
    return {};
}

int MaxLength(const QWidget* w) {
    if (auto* c = qobject_cast<const QComboBox*>(w)) {
        return c->lineEdit() != nullptr ? c->lineEdit()->maxLength() : -1;
    }
    if (auto* e = qobject_cast<const QLineEdit*>(w)) {
        return e->maxLength();
    }
    return -1;
}

// -1: not a text box; otherwise whether the input method may be used in it.
int InputMethod(const QWidget* w) {
    if (auto* c = qobject_cast<const QComboBox*>(w)) {
        if (c->lineEdit() == nullptr) {
            return -1;
        }
        return c->testAttribute(Qt::WA_InputMethodEnabled) &&
               c->lineEdit()->testAttribute(Qt::WA_InputMethodEnabled);
    }
    if (qobject_cast<const QLineEdit*>(w) != nullptr) {
        return w->testAttribute(Qt::WA_InputMethodEnabled);
    }
    return -1;
}

// The entry "ＭＳ ゴシック" of the font lists, if this machine has that font.
QString MsGothicOrNone(const TForm1& f) {
    const int i = f.ComboBox4->findText(QStringLiteral("ＭＳ ゴシック"), Qt::MatchFixedString);
    return i < 0 ? QString() : f.ComboBox4->itemText(i);
}

// Every named control with what it shows, and the window's position.
QMap<QString, QString> Snapshot(const TForm1& f) {
    QMap<QString, QString> shot;
    for (const QWidget* w : f.findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")) && name != "LabelM") {
            shot.insert(name, Value(w));
        }
    }
    shot.insert(QStringLiteral("pos"), QStringLiteral("%1,%2").arg(f.pos().x()).arg(f.pos().y()));
    shot.insert(QStringLiteral("enabled Edit1"), f.Edit1->isEnabled() ? "1" : "0");
    return shot;
}

}  // namespace

class TestUnit1 : public QObject {
    Q_OBJECT

private slots:
    void startupValues_data();
    void startupValues();
    void window();
    void geometry_data();
    void geometry();
    void fontLists();
    void tabOrder();
    void okWithBlankText_data();
    void okWithBlankText();
    void okWritesBothFiles();
    void okPutsCorrectionsBack();
    void okWhereNothingCanBeWritten();
    void hostFileUnusable_data();
    void hostFileUnusable();
    void closingWithoutOkWritesNothing_data();
    void closingWithoutOkWritesNothing();
    void textHistory_data();
    void textHistory();
    void angleOnOk_data();
    void angleOnOk();
    void rowThenTextType();
    void offsetBoxesFollowCheckBox();
    void secondStartRestoresEverything();
    void lostWindowComesBack_data();
    void lostWindowComesBack();
    void pastedLineBreaks_data();
    void pastedLineBreaks();
    void startupModes_data();
    void startupModes();
    void failedSaveKeepsTheSettings();
    void typingReplacesTheRememberedText();
    void tabStopsOncePerOptionGroup();
    void arrowKeysTickWithinTheGroup();
    void tabReachesEveryPresetRow();
    void wheelLeavesUnfocusedListsAlone();
    void longValuesShowTheirBeginning();
    void pointsNearTheLargestNumbers_data();
    void pointsNearTheLargestNumbers();
    void okRefusedWhileThePlacementIsNotFinite();
    void commaSeparatorKeepsTheStartupAngle();
    void startClearsWhatACutOffSaveLeft();
};

void TestUnit1::startupValues_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("inputMethod");
    QTest::addColumn<QString>("toolTip");
    const auto add = [](const QString& name, const QString& value, int maxLength = -1,
                        bool enabled = true, int inputMethod = -1, const QString& toolTip = {}) {
        QTest::newRow(qPrintable(name))
            << name << value << maxLength << enabled << inputMethod << toolTip;
    };

    // Text, angle and options. The angle has no limit of its own: Qt's default length.
    add("ComboBox1", "", 255, true, 1);
    add("RadioGroup1", "0");
    add("ComboBox2", "0", 32767, true, 0);
    add("RadioGroup2", "2");
    add("Label1", "角度");
    add("Label2", "°");
    add("Label3", "縦ずれ");
    add("Label12", "※各長さの数値は図寸mmで入力");
    // Offsets: off, so their boxes are disabled.
    add("CheckBox1", "0");
    for (int i = 1; i <= 6; ++i) {
        add(QStringLiteral("Edit%1").arg(i), "0", 8, false, 0);
    }
    // The host's text type is active; the host's current type is 3.
    add("RadioButton1", "1");
    add("ComboBox3", "現在の文字種(No3)");
    add("LabelB1", "(No.3) W3 H3 D0.5 色2");
    add("Label4", "フォント");
    add("ComboBox4", kMsGothicOrNone);
    add("CheckBox2", "0");
    add("CheckBox3", "0");
    add("LabelM", "");
    add("Button1", "ＯＫ (&Y)");
    add("Button2", "キャンセル (&N)");
    // Every preset row.
    for (int n = 1; n <= 15; ++n) {
        add(RowName("RB", n), "0");
        add(RowName("EditA", n), "3", 6, true, 0, kSizeHint);
        add(RowName("EditB", n), "3", 6, true, 0, kSizeHint);
        add(RowName("EditC", n), "0", 6, true, 0, kSpacingHint);
        add(RowName("EditD", n), "2", 6, true, 0, kColourHint);
        add(RowName("CB", n), kMsGothicOrNone);
        add(RowName("CC", n), "0");
        add(RowName("CD", n), "0");
    }
}

void TestUnit1::startupValues() {
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(int, maxLength);
    QFETCH(bool, enabled);
    QFETCH(int, inputMethod);
    QFETCH(QString, toolTip);
    TProgramFolder folder;
    const auto form = folder.Start();
    const auto* w = form->findChild<QWidget*>(name);
    QVERIFY2(w != nullptr, qPrintable(name));
    if (value == kMsGothicOrNone) {
        value = MsGothicOrNone(*form);
    }
    QCOMPARE(Value(w), value);
    QCOMPARE(MaxLength(w), maxLength);
    QCOMPARE(w->isEnabled(), enabled);
    QCOMPARE(InputMethod(w), inputMethod);
    QCOMPARE(w->toolTip(), toolTip);
}

void TestUnit1::window() {
    TProgramFolder folder;
    const auto form = folder.Start();
    QCOMPARE(form->windowTitle(), QStringLiteral("r407－文字の作図"));
    QCOMPARE(form->size(), QSize(463, 373));
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QCOMPARE(form->palette().color(QPalette::Window), QColor(192, 220, 192));
    QCOMPARE(form->Panel3->palette().color(QPalette::Window), QColor(235, 235, 235));
    QCOMPARE(form->Panel4->palette().color(QPalette::Window), QColor(235, 235, 235));
    QVERIFY(form->Button1->isDefault());
    QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form->pos(), QPoint(50, 50));
    QCOMPARE(Items(form->ComboBox1), QStringList());
    QCOMPARE(Items(form->ComboBox2), QStringList({"0", "90", "-90", "180"}));
    QStringList types{QStringLiteral("現在の文字種(No3)")};
    for (int k = 1; k <= 10; ++k) {
        types.append(QStringLiteral("文字種%1").arg(k));
    }
    QCOMPARE(Items(form->ComboBox3), types);
    // The four orientations side by side; the base points fill columns top to bottom.
    const auto o = form->RadioGroup1Items->buttons();
    QCOMPARE(o.size(), 4);
    QCOMPARE(o.at(3)->text(), QStringLiteral("2.5D"));
    QCOMPARE(o.at(0)->y(), o.at(3)->y());
    const auto b = form->RadioGroup2Items->buttons();
    QCOMPARE(b.size(), 9);
    QCOMPARE(b.at(0)->text(), QStringLiteral("左上"));
    QCOMPARE(b.at(8)->text(), QStringLiteral("右下"));
    QCOMPARE(b.at(0)->x(), b.at(2)->x());
    QVERIFY(b.at(0)->y() < b.at(1)->y() && b.at(1)->y() < b.at(2)->y());
    QVERIFY(b.at(0)->x() < b.at(3)->x() && b.at(3)->x() < b.at(6)->x());
    QCOMPARE(form->RadioGroup2->title(), QStringLiteral("文字基点(&B)"));
}

void TestUnit1::geometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("ComboBox1") << "ComboBox1" << QRect(0, 0, 463, 24);
    QTest::newRow("RadioGroup1") << "RadioGroup1" << QRect(0, 32, 233, 33);
    QTest::newRow("RadioGroup2") << "RadioGroup2" << QRect(296, 32, 161, 89);
    QTest::newRow("CheckBox1") << "CheckBox1" << QRect(243, 129, 71, 17);
    QTest::newRow("Panel4") << "Panel4" << QRect(8, 181, 449, 20);
    QTest::newRow("ScrollBox2") << "ScrollBox2" << QRect(8, 201, 449, 113);
    QTest::newRow("Panel3") << "Panel3" << QRect(0, 0, 425, 364);
    QTest::newRow("RB2") << "RB2" << QRect(0, 26, 17, 17);
    QTest::newRow("EditD15") << "EditD15" << QRect(160, 336, 41, 21);
    QTest::newRow("CB15") << "CB15" << QRect(208, 336, 145, 21);
    QTest::newRow("CD15") << "CD15" << QRect(396, 338, 17, 17);
    QTest::newRow("Panel2") << "Panel2" << QRect(0, 332, 463, 41);
    QTest::newRow("Button1") << "Button1" << QRect(4, 4, 85, 35);
    QTest::newRow("Button2") << "Button2" << QRect(100, 4, 130, 35);
}

void TestUnit1::geometry() {
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    TProgramFolder folder;
    const auto form = folder.Start();
    const auto* w = form->findChild<QWidget*>(name);
    QVERIFY(w != nullptr);
    QCOMPARE(w->geometry(), rect);
}

void TestUnit1::fontLists() {
    TProgramFolder folder;
    const auto form = folder.Start();
    const QStringList fonts = Items(form->ComboBox4);
    QVERIFY(!fonts.isEmpty());
    for (const QString& name : fonts) {
        QVERIFY2(!name.contains('@') && !name.contains('$') && !name.contains('%') &&
                     !name.contains('&') && !name.trimmed().isEmpty(),
                 qPrintable(name));
    }
    QStringList sorted = fonts;
    std::stable_sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    QCOMPARE(fonts, sorted);
    for (int n = 1; n <= 15; ++n) {
        const auto* cb = form->findChild<QComboBox*>(RowName("CB", n));
        QCOMPARE(Items(cb), fonts);
        QCOMPARE(cb->currentIndex(), form->ComboBox4->currentIndex());
    }
}

void TestUnit1::tabOrder() {
    TProgramFolder folder;
    const auto form = folder.Start();
    QStringList expected{"ComboBox1", "RadioGroup1", "ComboBox2", "RadioGroup2",
                         "Edit1",     "Edit2",       "Edit3",     "Edit4",
                         "Edit5",     "Edit6",       "CheckBox1", "RadioButton1",
                         "ComboBox3", "ComboBox4",   "CheckBox2", "CheckBox3"};
    for (int n = 1; n <= 15; ++n) {
        for (const char* prefix : kRowPrefixes) {
            expected.append(RowName(prefix, n));
        }
    }
    expected << "Button1"
             << "Button2"
             << "Button3";

    // Walk the focus chain once round; an option of a group stands for its group.
    QStringList chain;
    QWidget* w = form->ComboBox1;
    do {
        QString name = w->objectName();
        if (name.isEmpty() && qobject_cast<QGroupBox*>(w->parentWidget()) != nullptr) {
            name = w->parentWidget()->objectName();
        }
        if ((w->focusPolicy() & Qt::TabFocus) && !name.isEmpty() &&
            !name.startsWith(QLatin1String("qt_")) && (chain.isEmpty() || chain.last() != name)) {
            chain.append(name);
        }
        w = w->nextInFocusChain();
    } while (w != form->ComboBox1 && chain.size() < 1000);
    QCOMPARE(chain, expected);
}

void TestUnit1::okWithBlankText_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("full-width space") << "　";
    QTest::newRow("spaces and a tab") << "  \t ";
}

void TestUnit1::okWithBlankText() {
    QFETCH(QString, text);
    TProgramFolder folder;
    const auto form = folder.Start();
    form->ComboBox1->setEditText(text);
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QCOMPARE(folder.messages, QStringList{kMessage});
    QVERIFY(form->isVisible());
    QVERIFY(!form->OKflag);
    QVERIFY(form->JG != nullptr);
    QVERIFY(form->focusWidget() == form->ComboBox1 ||
            form->focusWidget() == form->ComboBox1->lineEdit());
    QCOMPARE(Items(form->ComboBox1), QStringList());
    QCOMPARE(folder.Read("ZIV_TEMP.TXT"), kHostFile);
    QVERIFY(!folder.Exists("r407.dat"));
}

void TestUnit1::okWritesBothFiles() {
    TProgramFolder folder;
    const auto form = folder.Start();
    QTest::keyClicks(form->ComboBox1, "abc");
    QTest::keyClick(form->ComboBox1, Qt::Key_Return);  // Enter presses OK
    QVERIFY(folder.messages.isEmpty());
    QVERIFY(form->OKflag);
    QVERIFY(!form->isVisible());
    QVERIFY(form->JG == nullptr);
    QCOMPARE(form->LabelM->text(), QStringLiteral("ファイル生成中です"));

    // The host wrote UTF-8, so the commands come back in UTF-8; the one text goes last.
    const QByteArray out = folder.Read("ZIV_TEMP.TXT");
    QVERIFY2(out.startsWith("\xEF\xBB\xBF"), out.constData());
    QVERIFY2(out.endsWith("\r\nch 0 0 10 0 \"abc\r\n"), out.constData());

    const QStringList lines = folder.SettingsLines();
    QVERIFY(lines.size() >= 140);
    QCOMPARE(lines.value(0), QStringLiteral("50"));
    QCOMPARE(lines.value(2), QStringLiteral("abc"));
    QCOMPARE(lines.value(4), QStringLiteral("0"));
    QCOMPARE(lines.mid(138, 2), QStringList({"1", "abc"}));
}

// Folders take the places of both files once the dialog is open: neither file can be written.
// OK closes the dialog normally, and nothing is left behind: no file in either place, no
// temporary file in the program's folder.
void TestUnit1::okWhereNothingCanBeWritten() {
    TProgramFolder folder;
    const auto form = folder.Start({QStringLiteral("1")});
    QVERIFY(QFile::remove(folder.Path("ZIV_TEMP.TXT")));
    QVERIFY(QDir(folder.Path(".")).mkdir("ZIV_TEMP.TXT"));
    QVERIFY(QDir(folder.Path(".")).mkdir("r407.dat"));
    QTest::keyClicks(form->ComboBox1, "abc");
    QTest::keyClick(form->ComboBox1, Qt::Key_Return);
    // A failed save is said and ends the program with a failure status.
    QCOMPARE(folder.messages, QStringList{kSaveFailed});
    QCOMPARE(form->ExitCode(), 1);
    QVERIFY(!form->isVisible());
    QVERIFY(form->JG == nullptr);
    QVERIFY(QFileInfo(folder.Path("ZIV_TEMP.TXT")).isDir());
    QVERIFY(QFileInfo(folder.Path("r407.dat")).isDir());
    QCOMPARE(QDir(folder.Path(".")).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestUnit1::hostFileUnusable_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("heading");
    QTest::newRow("not started by the host")
        << "missing" << QStringLiteral("ZIV_TEMP.TXTがありません。");
    QTest::newRow("a folder in its place")
        << "folder" << QStringLiteral("ZIV_TEMP.TXTを読み込めませんでした。");
    QTest::newRow("marked read-only")
        << "readonly" << QStringLiteral("ZIV_TEMP.TXTが読み取り専用のため、文字を作図できません。");
}

// A host's file that the dialog cannot work on is said before anything can be typed, with the
// program's folder; the dialog is never shown and ends with a failure status, leaving the
// folder as it was.
void TestUnit1::hostFileUnusable() {
    QFETCH(QString, setup);
    QFETCH(QString, heading);
    TProgramFolder folder;
    const QString host = folder.Path("ZIV_TEMP.TXT");
    if (setup == "missing" || setup == "folder") {
        QVERIFY(QFile::remove(host));
    }
    if (setup == "folder") {
        QVERIFY(QDir(folder.Path(".")).mkdir("ZIV_TEMP.TXT"));
    }
    if (setup == "readonly") {
        QVERIFY(
            QFile::setPermissions(host, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    const QStringList before = QDir(folder.Path(".")).entryList(QDir::AllEntries | QDir::Hidden);
    const auto form = folder.Start({QStringLiteral("3")});
    QSignalSpy finished(form.get(), &QDialog::finished);
    QCOMPARE(folder.messages.size(), 1);
    const QString message = folder.messages.value(0);
    QVERIFY2(message.startsWith(heading), qPrintable(message));
    QVERIFY2(message.contains(QDir::toNativeSeparators(QFileInfo(folder.Path(".")).absolutePath())),
             qPrintable(message));
    QVERIFY(message.endsWith(QStringLiteral("何も書き込まずに終了します。")));
    QVERIFY(!form->isVisible());
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(form->ExitCode(), 1);
    QVERIFY(!form->isVisible());
    QCOMPARE(QDir(folder.Path(".")).entryList(QDir::AllEntries | QDir::Hidden), before);
    if (setup == "readonly") {
        QCOMPARE(folder.Read("ZIV_TEMP.TXT"), kHostFile);
        // Windows removes no read-only file with the temporary folder.
        QVERIFY(QFile::setPermissions(host, QFile::ReadOwner | QFile::WriteOwner));
    }
}

// Values that the text generation replaced are shown in their boxes and saved so.
void TestUnit1::okPutsCorrectionsBack() {
    {
        TProgramFolder folder;
        const auto form = folder.Start();
        form->ComboBox1->setEditText(QStringLiteral("t"));
        form->findChild<QLineEdit*>("EditA3")->setText(QStringLiteral("600"));
        form->findChild<QLineEdit*>("EditC3")->setText(QStringLiteral("-1.5"));
        form->findChild<QLineEdit*>("EditD3")->setText(QStringLiteral("100"));
        QTest::mouseClick(form->findChild<QRadioButton*>("RB3"), Qt::LeftButton);
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QVERIFY(form->OKflag);
        QCOMPARE(form->findChild<QLineEdit*>("EditA3")->text(), QStringLiteral("3.0"));
        QCOMPARE(form->findChild<QLineEdit*>("EditC3")->text(), QStringLiteral("-1.5"));
        QCOMPARE(form->findChild<QLineEdit*>("EditD3")->text(), QStringLiteral("2"));
        // Row 3 starts at line 34: checked, width, height, spacing, colour.
        QCOMPARE(folder.SettingsLines().mid(34, 5), QStringList({"1", "3", "3", "-1.5", "2"}));
    }
    {
        TProgramFolder folder;
        const auto form = folder.Start();
        form->ComboBox1->setEditText(QStringLiteral("t"));
        form->ComboBox3->setCurrentIndex(-1);
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QVERIFY(form->OKflag);
        QCOMPARE(form->ComboBox3->currentIndex(), 0);
        QCOMPARE(folder.SettingsLines().value(6), QStringLiteral("0"));
    }
}

void TestUnit1::closingWithoutOkWritesNothing_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("withSettings");
    for (const char* how : {"Cancel", "Escape", "close box"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, no settings").arg(how))) << how << false;
        QTest::newRow(qPrintable(QStringLiteral("%1, settings").arg(how))) << how << true;
    }
}

void TestUnit1::closingWithoutOkWritesNothing() {
    QFETCH(QString, how);
    QFETCH(bool, withSettings);
    TProgramFolder folder;
    const QByteArray settings =
        "\xEF\xBB\xBF"
        "60\r\n70\r\nold text\r\n";
    if (withSettings) {
        folder.Write("r407.dat", settings);
    }
    const auto form = folder.Start();
    QCOMPARE(form->ComboBox1->currentText(), QString(withSettings ? "old text" : ""));
    QTest::keyClicks(form->ComboBox1, "abc");
    if (how == "Cancel") {
        QTest::mouseClick(form->Button2, Qt::LeftButton);
    } else if (how == "Escape") {
        QTest::keyClick(form->ComboBox1, Qt::Key_Escape);
    } else {
        form->close();
    }
    QVERIFY(!form->isVisible());
    QVERIFY(!form->OKflag);
    QVERIFY(form->JG == nullptr);
    QVERIFY(folder.messages.isEmpty());
    QCOMPARE(folder.Read("ZIV_TEMP.TXT"), kHostFile);
    QCOMPARE(folder.Exists("r407.dat"), withSettings);
    if (withSettings) {
        QCOMPARE(folder.Read("r407.dat"), settings);
    }
}

void TestUnit1::textHistory_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");
    // The history holds x, abc, y.
    QTest::newRow("second moves to the top") << "abc" << QStringList{"abc", "x", "y"};
    QTest::newRow("top stays") << "x" << QStringList{"x", "abc", "y"};
    QTest::newRow("new goes first") << "new" << QStringList{"new", "x", "abc", "y"};
    QTest::newRow("letter case ignored") << "ABC" << QStringList{"ABC", "x", "y"};
    QTest::newRow("blanks kept") << " x " << QStringList{" x ", "x", "abc", "y"};
}

void TestUnit1::textHistory() {
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    TProgramFolder folder;
    TDialogSettings s = DefaultSettings(-1);
    s.textHistory = {u"x", u"abc", u"y"};
    folder.WriteSettings(s);
    const auto form = folder.Start();
    QCOMPARE(Items(form->ComboBox1), QStringList({"x", "abc", "y"}));
    form->ComboBox1->setEditText(typed);
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QVERIFY(form->OKflag);
    QCOMPARE(Items(form->ComboBox1), expected);
    QCOMPARE(form->ComboBox1->currentText(), typed);
    const QStringList lines = folder.SettingsLines();
    QCOMPARE(lines.value(2), typed);
    QCOMPARE(lines.value(138), QString::number(expected.size()));
    QCOMPARE(lines.mid(139, static_cast<int>(expected.size())), expected);
}

void TestUnit1::angleOnOk_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("angle");
    QTest::addColumn<QStringList>("list");
    QTest::newRow("blank") << " "
                           << "0" << QStringList{"0", "90", "-90", "180"};
    QTest::newRow("shortest form") << "45.50"
                                   << "45.5" << QStringList{"45.5", "0", "90", "-90", "180"};
    QTest::newRow("not a number") << "abc"
                                  << "0" << QStringList{"0", "90", "-90", "180"};
    QTest::newRow("preset moves up") << "90"
                                     << "90" << QStringList{"90", "0", "-90", "180"};
    QTest::newRow("degrees minutes seconds")
        << "30@@15@20"
        << "30@@15@20" << QStringList{"30@@15@20", "0", "90", "-90", "180"};
}

void TestUnit1::angleOnOk() {
    QFETCH(QString, typed);
    QFETCH(QString, angle);
    QFETCH(QStringList, list);
    TProgramFolder folder;
    const auto form = folder.Start();
    form->ComboBox1->setEditText(QStringLiteral("t"));
    form->ComboBox2->setEditText(typed);
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QVERIFY(form->OKflag);
    QCOMPARE(form->ComboBox2->currentText(), angle);
    QCOMPARE(Items(form->ComboBox2), list);
    QCOMPARE(folder.SettingsLines().value(4), angle);
}

void TestUnit1::rowThenTextType() {
    TProgramFolder folder;
    const auto form = folder.Start();
    auto* rb4 = form->findChild<QRadioButton*>("RB4");
    form->findChild<QLineEdit*>("EditA4")->setText(QStringLiteral("abc"));
    form->findChild<QLineEdit*>("EditC4")->setText(QStringLiteral("1.50"));

    QTest::mouseClick(rb4, Qt::LeftButton);
    QVERIFY(rb4->isChecked());
    QVERIFY(!form->RadioButton1->isChecked());
    QCOMPARE(form->LabelB1->text(), QStringLiteral(" W0 H3 D1.5 色2"));

    // Typing in another row's boxes changes nothing.
    QTest::keyClicks(form->findChild<QLineEdit*>("EditB7"), "9");
    QCOMPARE(form->LabelB1->text(), QStringLiteral(" W0 H3 D1.5 色2"));

    // Choosing 文字種2 switches back to the host's text types.
    form->ComboBox3->setFocus();
    QTest::keyClick(form->ComboBox3, Qt::Key_Down);
    QTest::keyClick(form->ComboBox3, Qt::Key_Down);
    QCOMPARE(form->ComboBox3->currentIndex(), 2);
    QVERIFY(form->RadioButton1->isChecked());
    QVERIFY(!rb4->isChecked());
    QCOMPARE(form->LabelB1->text(), QStringLiteral("(No.2) W2.5 H2.5 D0 色1"));

    // And a click on a row leaves at most one option checked again.
    auto* rb9 = form->findChild<QRadioButton*>("RB9");
    QTest::mouseClick(rb9, Qt::LeftButton);
    QVERIFY(!form->RadioButton1->isChecked());
    QVERIFY(!rb4->isChecked());
    QCOMPARE(form->LabelB1->text(), QStringLiteral(" W3 H3 D0 色2"));
    QTest::mouseClick(form->RadioButton1, Qt::LeftButton);
    QVERIFY(form->RadioButton1->isChecked());
    QVERIFY(!rb9->isChecked());
    QCOMPARE(form->LabelB1->text(), QStringLiteral("(No.2) W2.5 H2.5 D0 色1"));
}

void TestUnit1::offsetBoxesFollowCheckBox() {
    TProgramFolder folder;
    const auto form = folder.Start();
    const QLineEdit* edits[] = {form->Edit1, form->Edit2, form->Edit3,
                                form->Edit4, form->Edit5, form->Edit6};
    for (const bool on : {true, false, true}) {
        QTest::mouseClick(form->CheckBox1, Qt::LeftButton);
        QCOMPARE(form->CheckBox1->isChecked(), on);
        for (const QLineEdit* e : edits) {
            QCOMPARE(e->isEnabled(), on);
        }
    }
}

void TestUnit1::secondStartRestoresEverything() {
    TProgramFolder folder;
    auto form = folder.Start();
    if (form->ComboBox4->count() < 3) {
        QSKIP("needs at least three fonts");
    }
    form->move(120, 90);
    form->ComboBox1->setEditText(QStringLiteral("二行目 test"));
    form->RadioGroup1Items->button(2)->setChecked(true);
    form->ComboBox2->setEditText(QStringLiteral("30"));
    form->RadioGroup2Items->button(6)->setChecked(true);
    QTest::mouseClick(form->CheckBox1, Qt::LeftButton);
    const QLineEdit* edits[] = {form->Edit1, form->Edit2, form->Edit3,
                                form->Edit4, form->Edit5, form->Edit6};
    const char* offsets[] = {"1.5", "2", "-3", "4", "5", "6"};
    for (int i = 0; i < 6; ++i) {
        const_cast<QLineEdit*>(edits[i])->setText(QLatin1String(offsets[i]));
    }
    form->ComboBox3->setCurrentIndex(4);
    form->ComboBox4->setCurrentIndex(form->ComboBox4->count() - 1);
    form->CheckBox2->setChecked(true);
    form->CheckBox3->setChecked(true);
    const auto set = [&form](const char* name, const char* text) {
        form->findChild<QLineEdit*>(name)->setText(QLatin1String(text));
    };
    set("EditA5", "4.5");
    set("EditB5", "6");
    set("EditC5", "-1");
    set("EditD5", "101");
    set("EditA9", "2.5");
    form->findChild<QComboBox*>("CB5")->setCurrentIndex(1);
    form->findChild<QComboBox*>("CB9")->setCurrentIndex(2);
    form->findChild<QCheckBox*>("CC5")->setChecked(true);
    form->findChild<QCheckBox*>("CD9")->setChecked(true);
    QTest::mouseClick(form->findChild<QRadioButton*>("RB5"), Qt::LeftButton);
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QVERIFY(form->OKflag);
    const QMap<QString, QString> before = Snapshot(*form);

    folder.Write("ZIV_TEMP.TXT", kHostFile);
    form = folder.Start();
    QCOMPARE(Snapshot(*form), before);
    QCOMPARE(Items(form->ComboBox1), QStringList{QStringLiteral("二行目 test")});
    // The preset angles come first again; the saved one follows them.
    QCOMPARE(Items(form->ComboBox2), QStringList({"0", "90", "-90", "180", "30"}));
}

void TestUnit1::lostWindowComesBack_data() {
    QTest::addColumn<QPoint>("saved");
    QTest::addColumn<bool>("moved");
    QTest::newRow("far right and down") << QPoint(5000, 5000) << true;
    QTest::newRow("far left") << QPoint(-5000, 100) << true;
    QTest::newRow("above the screen") << QPoint(100, -500) << true;
    QTest::newRow("partly off the left edge") << QPoint(-10, 40) << false;
    QTest::newRow("on screen") << QPoint(200, 100) << false;
    // At the ends of the range of an int, where the window's far edges overflow.
    QTest::newRow("left at the largest int") << QPoint(std::numeric_limits<int>::max(), 100) << true;
    QTest::newRow("left at the smallest int") << QPoint(std::numeric_limits<int>::min(), 100) << true;
    QTest::newRow("top at the largest int") << QPoint(100, std::numeric_limits<int>::max()) << true;
    QTest::newRow("top at the smallest int") << QPoint(100, std::numeric_limits<int>::min()) << true;
    QTest::newRow("both near the largest int") << QPoint(2147483000, 2147483000) << true;
    QTest::newRow("beyond the X coordinates") << QPoint(40000, 40000) << true;
}

void TestUnit1::lostWindowComesBack() {
    QFETCH(QPoint, saved);
    QFETCH(bool, moved);
    TProgramFolder folder;
    TDialogSettings s = DefaultSettings(-1);
    s.left = saved.x();
    s.top = saved.y();
    folder.WriteSettings(s);
    const auto form = folder.Start();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(form->pos(), moved ? area.topLeft() + QPoint(50, 50) : saved);
}

void TestUnit1::pastedLineBreaks_data() {
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");
    QTest::newRow("CR LF") << "ab\r\ncd"
                           << "ab  cd";
    QTest::newRow("LF at the end") << "line\n"
                                   << "line ";
    QTest::newRow("lone CR") << "x\ry"
                             << "x y";
    QTest::newRow("no break") << "plain"
                              << "plain";
    // The limit of 255 falls between the halves of the last character: it goes whole.
    QTest::newRow("a pair cut by the limit")
        << QString(253, 'a') + QStringLiteral("\U0001F600") << QString(253, 'a');
}

void TestUnit1::pastedLineBreaks() {
    QFETCH(QString, pasted);
    QFETCH(QString, shown);
    TProgramFolder folder;
    const auto form = folder.Start();
    QTest::keyClicks(form->ComboBox1, "<");
    QGuiApplication::clipboard()->setText(pasted);
    form->ComboBox1->lineEdit()->paste();
    QTest::keyClicks(form->ComboBox1, ">");
    QCOMPARE(form->ComboBox1->currentText(), "<" + shown + ">");
}

void TestUnit1::startupModes_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("angle");
    QTest::addColumn<QPointF>("p1");
    QTest::addColumn<QPointF>("p2");
    QTest::addColumn<bool>("mjiku");
    QTest::addColumn<bool>("mfit");
    // Picked points (10, 20) and (110, 120); the selected line runs at 225 degrees.
    QTest::newRow("none") << QStringList{} << "0" << QPointF(0, 0) << QPointF(0, 0) << true
                          << false;
    QTest::newRow("1") << QStringList{"1"} << "0" << QPointF(10, 20) << QPointF(0, 0) << true
                       << false;
    QTest::newRow("2") << QStringList{"2"} << "45" << QPointF(110, 120) << QPointF(0, 0) << false
                       << false;
    QTest::newRow("4") << QStringList{"4", "ignored"} << "45" << QPointF(60, 70) << QPointF(0, 0)
                       << false << false;
    QTest::newRow("fit") << QStringList{"9"} << "45" << QPointF(10, 20) << QPointF(110, 120)
                         << false << true;
}

void TestUnit1::startupModes() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, angle);
    QFETCH(QPointF, p1);
    QFETCH(QPointF, p2);
    QFETCH(bool, mjiku);
    QFETCH(bool, mfit);
    TProgramFolder folder;
    TDialogSettings s = DefaultSettings(-1);
    s.angle = u"0";
    folder.WriteSettings(s);
    const auto form = folder.Start(arguments);
    QCOMPARE(form->ComboBox2->currentText(), angle);
    QCOMPARE(QPointF(form->mx1, form->my1), p1);
    QCOMPARE(QPointF(form->mx2, form->my2), p2);
    QCOMPARE(form->mjiku, mjiku);
    QCOMPARE(form->mfit, mfit);
}

// The host's file cannot be replaced: the settings file keeps every byte it had.
void TestUnit1::failedSaveKeepsTheSettings() {
    TProgramFolder folder;
    TDialogSettings s = DefaultSettings(-1);
    s.text = u"old";
    folder.WriteSettings(s);
    const QByteArray before = folder.Read("r407.dat");
    const auto form = folder.Start();
    QVERIFY(QFile::remove(folder.Path("ZIV_TEMP.TXT")));
    QVERIFY(QDir(folder.Path(".")).mkdir("ZIV_TEMP.TXT"));
    QTest::keyClicks(form->ComboBox1, "new");
    QTest::keyClick(form->ComboBox1, Qt::Key_Return);
    QCOMPARE(folder.messages, QStringList{kSaveFailed});
    QCOMPARE(form->ExitCode(), 1);
    QCOMPARE(folder.Read("r407.dat"), before);
}

namespace {

// Starts the dialog with the given settings and waits until it has the keyboard.
std::unique_ptr<TForm1> StartActive(TProgramFolder& folder, const TDialogSettings& s) {
    folder.WriteSettings(s);
    auto form = folder.Start();
    if (!QTest::qWaitForWindowActive(form.get())) {
        qWarning("the dialog did not become active");
    }
    return form;
}

// Presses a key where the keyboard focus is, as the user does.
void Press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* w = QApplication::focusWidget();
    QVERIFY(w != nullptr);
    QTest::keyClick(w, static_cast<Qt::Key>(key), mods);
}

// The focused control's name, or for an option of a group "group:option text".
QString Focused() {
    QWidget* w = QApplication::focusWidget();
    if (w == nullptr) {
        return QStringLiteral("(none)");
    }
    if (qobject_cast<QGroupBox*>(w->parentWidget()) != nullptr && w->objectName().isEmpty()) {
        return w->parentWidget()->objectName() + ":" + static_cast<QAbstractButton*>(w)->text();
    }
    if (w->objectName().isEmpty() && w->parentWidget() != nullptr) {
        return w->parentWidget()->objectName();  // a combo box's edit field
    }
    return w->objectName();
}

QString Ticked(const QButtonGroup* group) {
    return group->checkedButton() != nullptr ? group->checkedButton()->text() : QString();
}

}  // namespace

void TestUnit1::typingReplacesTheRememberedText() {
    TProgramFolder folder;
    TDialogSettings s = DefaultSettings(-1);
    s.text = u"前回";
    s.textHistory = {u"前回"};
    const auto form = StartActive(folder, s);
    QCOMPARE(Focused(), QStringLiteral("ComboBox1"));
    Press(Qt::Key_X);
    QCOMPARE(form->ComboBox1->currentText(), QStringLiteral("x"));
}

// Tab enters a group at its ticked option and leaves it with the next Tab; Shift+Tab the
// same way back.
void TestUnit1::tabStopsOncePerOptionGroup() {
    TProgramFolder folder;
    TDialogSettings s = DefaultSettings(-1);
    s.orientation = 1;
    s.basePoint = 2;
    const auto form = StartActive(folder, s);
    QStringList forward;
    for (int i = 0; i < 5; ++i) {
        Press(Qt::Key_Tab);
        forward << Focused();
    }
    // The offset boxes are off, so CheckBox1 follows the base point.
    QCOMPARE(forward, (QStringList{"RadioGroup1:縦字", "ComboBox2", "RadioGroup2:左下", "CheckBox1",
                                   "RadioButton1"}));
    QStringList back;
    for (int i = 0; i < 5; ++i) {
        Press(Qt::Key_Backtab, Qt::ShiftModifier);
        back << Focused();
    }
    QCOMPARE(back, (QStringList{"CheckBox1", "RadioGroup2:左下", "ComboBox2", "RadioGroup1:縦字",
                                "ComboBox1"}));
}

void TestUnit1::arrowKeysTickWithinTheGroup() {
    TProgramFolder folder;
    const auto form = StartActive(folder, DefaultSettings(-1));
    form->ComboBox2->setFocus(Qt::OtherFocusReason);
    Press(Qt::Key_Tab);
    QCOMPARE(Focused(), QStringLiteral("RadioGroup2:左下"));
    Press(Qt::Key_Up);
    QCOMPARE(Focused(), QStringLiteral("RadioGroup2:左中"));
    QCOMPARE(Ticked(form->RadioGroup2Items), QStringLiteral("左中"));
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);
    QCOMPARE(Ticked(form->RadioGroup2Items), QStringLiteral("中上"));
    // Round the ends of the group, never out of it.
    form->RadioGroup1Items->button(0)->setFocus(Qt::OtherFocusReason);
    Press(Qt::Key_Left);
    QCOMPARE(Focused(), QStringLiteral("RadioGroup1:2.5D"));
    QCOMPARE(Ticked(form->RadioGroup1Items), QStringLiteral("2.5D"));
    Press(Qt::Key_Right);
    QCOMPARE(Ticked(form->RadioGroup1Items), QStringLiteral("横字"));
}

// Every row's button is a tab stop; Space and the arrow keys tick rows with the exclusion
// between the host's text type and the rows.
void TestUnit1::tabReachesEveryPresetRow() {
    TProgramFolder folder;
    const auto form = StartActive(folder, DefaultSettings(-1));
    form->CheckBox3->setFocus(Qt::OtherFocusReason);
    Press(Qt::Key_Tab);
    QCOMPARE(Focused(), QStringLiteral("RB1"));
    Press(Qt::Key_Space);
    QVERIFY(form->findChild<QRadioButton*>("RB1")->isChecked());
    QVERIFY(!form->RadioButton1->isChecked());
    QStringList row;
    for (int i = 0; i < 8; ++i) {
        Press(Qt::Key_Tab);
        row << Focused();
    }
    QCOMPARE(row,
             (QStringList{"EditA1", "EditB1", "EditC1", "EditD1", "CB1", "CC1", "CD1", "RB2"}));
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(Focused(), QStringLiteral("CD1"));
    // Down from the last row goes round to the first; the row in focus is scrolled into view.
    form->findChild<QWidget*>("RB14")->setFocus(Qt::OtherFocusReason);
    Press(Qt::Key_Down);
    auto* rb15 = form->findChild<QRadioButton*>("RB15");
    QCOMPARE(Focused(), QStringLiteral("RB15"));
    QVERIFY(rb15->isChecked());
    QVERIFY(!form->findChild<QRadioButton*>("RB1")->isChecked());
    const QRect seen = form->ScrollBox2->viewport()->rect();
    QVERIFY(seen.contains(
        QRect(rb15->mapTo(form->ScrollBox2->viewport(), QPoint(0, 0)), rb15->size())));
    QCOMPARE(form->LabelB1->text(), QStringLiteral(" W3 H3 D0 色2"));
}

// The wheel over a list without focus scrolls the preset rows or does nothing; over the
// list being edited it chooses as usual.
void TestUnit1::wheelLeavesUnfocusedListsAlone() {
    TProgramFolder folder;
    const auto form = StartActive(folder, DefaultSettings(-1));
    if (form->ComboBox4->count() < 3) {
        QSKIP("needs at least three installed fonts");
    }
    const auto wheel = [](QWidget* w) {
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        for (int notch = 0; notch < 3; ++notch) {
            QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(w, &event);
        }
    };
    auto* cb1 = form->findChild<QComboBox*>("CB1");
    const int font = cb1->currentIndex();
    wheel(cb1);
    QCOMPARE(cb1->currentIndex(), font);
    QVERIFY(form->ScrollBox2->verticalScrollBar()->value() > 0);
    QVERIFY(cb1->hasFocus() == false);

    for (QComboBox* list : {form->ComboBox3, form->ComboBox4}) {
        const int before = list->currentIndex();
        wheel(list);
        QCOMPARE(list->currentIndex(), before);
    }
    form->ComboBox3->setFocus(Qt::OtherFocusReason);
    wheel(form->ComboBox3);
    QVERIFY(form->ComboBox3->currentIndex() != 0);
}

// Values longer than their boxes show their beginning after loading, and the summary of
// the widest values shows whole.
void TestUnit1::longValuesShowTheirBeginning() {
    TProgramFolder folder;
    TDialogSettings s = DefaultSettings(-1);
    s.hostType = false;
    s.offsetsOn = true;
    s.offsets = {u"-1.234", u"-123.456", u"0", u"0", u"0", u"0"};
    s.rows[0] = TPresetRow{true, u"1.2345", u"499.99", u"-1.234", u"356"};
    const auto form = StartActive(folder, s);
    QCOMPARE(form->Edit2->text(), QStringLiteral("-123.456"));
    for (QLineEdit* e : {form->Edit1, form->Edit2, form->findChild<QLineEdit*>("EditA1"),
                         form->findChild<QLineEdit*>("EditC1")}) {
        QCOMPARE(e->cursorPosition(), 0);
    }
    const QString summary = QStringLiteral(" W1.2345 H499.99 D-1.234 色356");
    QCOMPARE(form->LabelB1->text(), summary);
    QVERIFY(form->LabelB1->fontMetrics().horizontalAdvance(summary) <=
            form->LabelB1->contentsRect().width());
}

namespace {

// Two picked points at the largest coordinates a host might send.
const QByteArray kHugePoints =
    "\xEF\xBB\xBF"
    "hp1 1.7e308 1.7e308\r\n"
    "hp2 1.7e308 1.7e308\r\n";
const QString kNotFinite = QStringLiteral("文字の位置または大きさが数値の範囲を超えています。");

}  // namespace

void TestUnit1::pointsNearTheLargestNumbers_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no mode") << QStringList();
    for (const char* mode : {"1", "2", "3", "4", "5", "fit"}) {
        QTest::newRow(mode) << QStringList{QString::fromLatin1(mode)};
    }
}

// Every mode places the text at a finite place: the midpoint of mode 4 and of a fit's middle
// column is taken without the sum of the two points, which would overflow.
void TestUnit1::pointsNearTheLargestNumbers() {
    QFETCH(QStringList, arguments);
    TProgramFolder folder;
    folder.Write("ZIV_TEMP.TXT", kHugePoints);
    const auto form = folder.Start(arguments);
    form->ComboBox1->setEditText(QStringLiteral("t"));
    // The middle column of the base points, where a fit is placed at the midpoint.
    form->RadioGroup2Items->button(4)->setChecked(true);
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QCOMPARE(folder.messages, QStringList());
    QVERIFY(form->OKflag);
    const QByteArray written = folder.Read("ZIV_TEMP.TXT");
    QVERIFY2(written.contains("\r\nch "), written.constData());
    QVERIFY2(!written.contains("INF") && !written.contains("NAN"), written.constData());
}

// Offsets that carry the text beyond the largest number: OK says so and keeps the dialog
// open with both files untouched; a usable offset then lets OK through.
void TestUnit1::okRefusedWhileThePlacementIsNotFinite() {
    TProgramFolder folder;
    folder.Write("ZIV_TEMP.TXT", kHugePoints);
    const auto form = folder.Start({QStringLiteral("1")});
    form->ComboBox1->setEditText(QStringLiteral("t"));
    form->CheckBox1->setChecked(true);
    form->Edit4->setText(QStringLiteral("-1e308"));
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QCOMPARE(folder.messages, QStringList{kNotFinite});
    QVERIFY(!form->OKflag);
    QVERIFY(form->isVisible());
    QCOMPARE(folder.Read("ZIV_TEMP.TXT"), kHugePoints);
    QVERIFY(!folder.Exists("r407.dat"));
    form->Edit4->setText(QStringLiteral("-1"));
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QVERIFY(form->OKflag);
    QVERIFY(!folder.Read("ZIV_TEMP.TXT").contains("INF"));
}

// With a comma as the user's decimal separator, the angle a start-up mode writes into the
// angle box is read back whole on OK: the box holds numbers with a full stop, as the text
// generation reads them. The commands themselves are written with the user's separator.
// Run once more under a German locale (ctest: tst_Unit1.comma_locale), where the separator
// comes from the system.
void TestUnit1::commaSeparatorKeepsTheStartupAngle() {
    if (qEnvironmentVariableIsSet("R407_EXPECT_COMMA")) {
        QCOMPARE(QChar(Platform::DecimalSeparator()), QChar(u','));
    }
    const char16_t before = Platform::DecimalSeparator();
    Platform::SetDecimalSeparator(u',');
    TProgramFolder folder;
    folder.Write("ZIV_TEMP.TXT",
                 "\xEF\xBB\xBF"
                 "hp1 0 0\r\nhp2 10 5\r\n");
    const auto form = folder.Start({QStringLiteral("3")});
    QCOMPARE(form->ComboBox2->currentText(), QStringLiteral("26.565051177078"));
    form->ComboBox1->setEditText(QStringLiteral("t"));
    form->findChild<QLineEdit*>("EditA1")->setText(QStringLiteral("2.5"));
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QVERIFY(form->OKflag);
    QCOMPARE(form->ComboBox2->currentText(), QStringLiteral("26.565051177078"));
    QCOMPARE(folder.SettingsLines().value(4), QStringLiteral("26.565051177078"));
    const QByteArray written = folder.Read("ZIV_TEMP.TXT");
    Platform::SetDecimalSeparator(before);
    // Direction 10 at 26.565… degrees, cut to twelve places, with the user's comma.
    QVERIFY2(written.contains("ch 0 0 8,944271909999 4,472135955 \"t"), written.constData());
    // The preset row's width went through the settings file and back with its full stop.
    TDialogSettings s = DefaultSettings(-1);
    QVERIFY(LoadSettingsFile(folder.Path("r407.dat").toStdU16String(), TListSizes{}, s));
    QCOMPARE(s.rows[0].width, std::u16string(u"2.5"));
}

// Temporary files of a save that a killed run left beside the two files go at the next start,
// once they are a minute old; a younger one may belong to a save under way and stays.
void TestUnit1::startClearsWhatACutOffSaveLeft() {
    TProgramFolder folder;
    const auto leave = [&](const char* name, std::chrono::seconds age) {
        folder.Write(QString::fromLatin1(name), "partial");
        const std::filesystem::path path = folder.Path(QString::fromLatin1(name)).toStdU16String();
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - age);
    };
    leave("ZIV_TEMP.TXT.0123456789ab.tmp", std::chrono::seconds(90));
    leave("r407.dat.abcdef012345.tmp", std::chrono::seconds(3600));
    leave("r407.dat.00000000000f.tmp", std::chrono::seconds(2));
    const auto form = folder.Start();
    QVERIFY(!folder.Exists("ZIV_TEMP.TXT.0123456789ab.tmp"));
    QVERIFY(!folder.Exists("r407.dat.abcdef012345.tmp"));
    QVERIFY(folder.Exists("r407.dat.00000000000f.tmp"));
    QVERIFY(folder.Exists("ZIV_TEMP.TXT"));
}

QTEST_MAIN(TestUnit1)
#include "tst_Unit1.moc"
