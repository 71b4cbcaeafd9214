// tst_InputMethod: typing through an input method: which boxes take it, the composition in
// the text box, and number boxes whose text does not read as a number.
#include <memory>
#include <vector>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#ifdef Q_OS_WIN
// imm.h needs the types of windows.h before it.
// clang-format off
#include <windows.h>
#include <imm.h>
// clang-format on
#endif

#include "DialogFolder.h"
#include "app/NumberBox.h"
#include "app/PreviewPanel.h"
#include "app/Unit1.h"

namespace {

// A host file in UTF-8 with its current text type 3.
const QByteArray kHostFile =
    "\xEF\xBB\xBF"
    "hk 0\r\n"
    "hcw 2 2.5 3 3.5 4 5 6 7 8 10\r\n"
    "hch 2 2.5 3 3.5 4 5 6 7 8 10\r\n"
    "hcd 0 0 0.5 0.5 0.5 1 1 1 1 1\r\n"
    "hcc 1 1 2 2 2 3 3 4 4 5\r\n"
    "cn3\r\n";

const QString kSizeHint = QStringLiteral("0.1～500の数値を入力して下さい");
const QString kColourHint = QStringLiteral("1～9、101～356(SXF1～256)の数値を入力して下さい");

class TProgramFolder : public TDialogFolder {
public:
    TProgramFolder() : TDialogFolder(kHostFile) {}
};

// What the platform asks before it lets an input method compose for a widget: Qt's Windows
// platform detaches the IME from the window when the answer is no, ibus and fcitx pass the
// keys by.
bool AcceptsInputMethod(QObject* o) {
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QCoreApplication::sendEvent(o, &query);
    return query.value(Qt::ImEnabled).toBool();
}

QString RowName(const char* prefix, int n) {
    return QLatin1String(prefix) + QString::number(n);
}

// Every box that takes numbers, and the drop-down list of the angle box.
std::vector<QWidget*> NumberBoxes(const TForm1& f) {
    std::vector<QWidget*> boxes{f.ComboBox2,
                                f.ComboBox2->lineEdit(),
                                f.ComboBox2->view(),
                                f.Edit1,
                                f.Edit2,
                                f.Edit3,
                                f.Edit4,
                                f.Edit5,
                                f.Edit6};
    for (int n = 1; n <= 15; ++n) {
        for (const char* prefix : {"EditA", "EditB", "EditC", "EditD"}) {
            boxes.push_back(f.findChild<QLineEdit*>(RowName(prefix, n)));
        }
    }
    return boxes;
}

QString Describe(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

// Sends what an input method sends to the box with the focus: a composition, a commit.
void Compose(const QString& preedit) {
    QInputMethodEvent e(preedit, {});
    QCoreApplication::sendEvent(QGuiApplication::focusObject(), &e);
}
void Commit(const QString& text) {
    QInputMethodEvent e;
    e.setCommitString(text);
    QCoreApplication::sendEvent(QGuiApplication::focusObject(), &e);
}

// A dialog shown and active, the focus in its text box, which is empty.
std::unique_ptr<TForm1> StartTyping(TProgramFolder& folder) {
    auto form = folder.Start();
    form->activateWindow();
    [&] { QVERIFY(QTest::qWaitForWindowActive(form.get())); }();
    form->ComboBox1->setFocus();
    form->ComboBox1->clearEditText();
    return form;
}

}  // namespace

class TestInputMethod : public QObject {
    Q_OBJECT

private slots:
    void onlyTheTextBoxTakesTheInputMethod();
    void focusedNumberBoxRefusesIt();
    void windowsImeFollowsTheFocus();
    void compositionOwnsEnterAndEscape();
    void okWritesOnlyCommittedText();
    void previewShowsTheComposition();
    void unreadableNumbersAreMarked_data();
    void unreadableNumbersAreMarked();
    void markGoesWhenTheTextReadsAgain();
};

// Also after what sets Qt's own attribute again: a read-only change, a validator, disabling
// and enabling.
void TestInputMethod::onlyTheTextBoxTakesTheInputMethod() {
    TProgramFolder folder;
    const auto form = folder.Start();
    QVERIFY(AcceptsInputMethod(form->ComboBox1));
    QVERIFY(AcceptsInputMethod(form->ComboBox1->lineEdit()));
    for (QWidget* box : NumberBoxes(*form)) {
        QVERIFY2(box != nullptr, "a number box is missing");
        QVERIFY2(!AcceptsInputMethod(box), qPrintable(Describe(box)));
        if (auto* edit = qobject_cast<QLineEdit*>(box)) {
            edit->setReadOnly(true);
            edit->setReadOnly(false);
        }
        box->setEnabled(false);
        box->setEnabled(true);
        QVERIFY2(!AcceptsInputMethod(box), qPrintable(Describe(box) + " after read-only"));
    }
    form->CheckBox1->click();
    form->CheckBox1->click();
    QVERIFY(!AcceptsInputMethod(form->Edit4));
    QVERIFY(AcceptsInputMethod(form->ComboBox1));
}

// The platform asks the focus object, whichever widget of a combo box that is.
void TestInputMethod::focusedNumberBoxRefusesIt() {
    TProgramFolder folder;
    const auto form = StartTyping(folder);
    form->CheckBox1->click();
    const std::pair<QWidget*, bool> stops[] = {
        {form->ComboBox2, false}, {form->ComboBox1, true},
        {form->Edit2, false},     {form->findChild<QLineEdit*>(QStringLiteral("EditA1")), false},
        {form->ComboBox1, true},  {form->findChild<QLineEdit*>(QStringLiteral("EditD15")), false},
    };
    for (const auto& [w, accepts] : stops) {
        w->setFocus();
        QTRY_VERIFY(w->hasFocus());
        QObject* focus = QGuiApplication::focusObject();
        QVERIFY(focus != nullptr);
        // Asked both ways that Qt asks it: through the query method and the query event.
        const QVariant answer =
            QGuiApplication::inputMethod()->queryFocusObject(Qt::ImEnabled, QVariant());
        QVERIFY2(answer.toBool() == accepts, qPrintable(Describe(w)));
        QVERIFY2(AcceptsInputMethod(focus) == accepts, qPrintable(Describe(w)));
    }
}

// On Windows, Qt detaches the IME's context from the window while a box that refuses the
// input method has the focus, and attaches it again in the text box: what a user of a
// Japanese Windows sees as the IME switched off and on.
void TestInputMethod::windowsImeFollowsTheFocus() {
#ifdef Q_OS_WIN
    if (QGuiApplication::platformName() != QLatin1String("windows")) {
        QSKIP("needs Qt's Windows platform (-platform windows)");
    }
    TProgramFolder folder;
    const auto form = StartTyping(folder);
    form->CheckBox1->click();
    const auto hwnd = reinterpret_cast<HWND>(form->winId());
    const auto attached = [hwnd] {
        const HIMC imc = ImmGetContext(hwnd);
        if (imc != nullptr) {
            ImmReleaseContext(hwnd, imc);
        }
        return imc != nullptr;
    };
    QVERIFY(attached());
    const std::pair<QWidget*, bool> stops[] = {
        {form->ComboBox2, false}, {form->ComboBox1, true},
        {form->Edit3, false},     {form->findChild<QLineEdit*>(QStringLiteral("EditA1")), false},
        {form->ComboBox1, true},  {form->findChild<QLineEdit*>(QStringLiteral("EditC15")), false},
    };
    for (const auto& [w, accepts] : stops) {
        w->setFocus();
        QTRY_VERIFY(w->hasFocus());
        QTRY_VERIFY2(attached() == accepts, qPrintable(Describe(w)));
    }
#else
    QSKIP("the Windows build only");
#endif
}

// While a composition is open, Enter and Escape belong to the input method; once it is
// committed or cancelled they are OK and Cancel again.
void TestInputMethod::compositionOwnsEnterAndEscape() {
    TProgramFolder folder;
    const auto form = StartTyping(folder);
    const QByteArray host = folder.Read("ZIV_TEMP.TXT");

    Compose(QStringLiteral("かんじ"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(form->isVisible());
    QVERIFY(!form->OKflag);

    Compose({});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!form->isVisible());
    QVERIFY(!form->OKflag);
    QCOMPARE(folder.Read("ZIV_TEMP.TXT"), host);
}

void TestInputMethod::okWritesOnlyCommittedText() {
    TProgramFolder folder;
    const auto form = StartTyping(folder);
    Compose(QStringLiteral("ず"));
    Commit(QStringLiteral("図面"));
    QCOMPARE(form->ComboBox1->currentText(), QStringLiteral("図面"));
    Compose(QStringLiteral("たいとる"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(form->isVisible());
    form->Button1->click();
    QVERIFY(form->OKflag);
    const QString written = QString::fromUtf8(folder.Read("ZIV_TEMP.TXT"));
    QVERIFY2(written.contains(QStringLiteral("\"図面\r\n")), qPrintable(written));
    QVERIFY2(!written.contains(QStringLiteral("たいとる")), qPrintable(written));
}

// The preview draws the text as it stands on the screen, the composition at the cursor.
void TestInputMethod::previewShowsTheComposition() {
    TProgramFolder folder;
    const auto form = StartTyping(folder);
    form->Button3Click();
    QVERIFY(form->PreviewOpen());
    const QString blank = QStringLiteral("文字が空のため配置を表示できません");
    QCOMPARE(form->Preview->Caption->text(), blank);

    Compose(QStringLiteral("かんじ"));
    QTRY_COMPARE(form->Preview->Shown().text, std::u16string(u"かんじ"));
    QVERIFY(form->Preview->Caption->text() != blank);

    Commit(QStringLiteral("漢字"));
    QTRY_COMPARE(form->Preview->Shown().text, std::u16string(u"漢字"));
    form->ComboBox1->lineEdit()->setCursorPosition(1);
    Compose(QStringLiteral("の"));
    QTRY_COMPARE(form->Preview->Shown().text, std::u16string(u"漢の字"));
    // Cancelled: the committed text alone.
    Compose({});
    QTRY_COMPARE(form->Preview->Shown().text, std::u16string(u"漢字"));
    QCOMPARE(form->ComboBox1->currentText(), QStringLiteral("漢字"));
}

void TestInputMethod::unreadableNumbersAreMarked_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value");  // what the hint names; empty: not marked
    QTest::addColumn<QString>("hint");   // the box's own hint

    // Full-width digits, as an input method that is on composes them.
    QTest::newRow("angle full-width") << "ComboBox2"
                                      << "４５"
                                      << "0"
                                      << "";
    QTest::newRow("offset full-width") << "Edit1"
                                       << "１．５"
                                       << "0"
                                       << "";
    QTest::newRow("width full-width") << "EditA1"
                                      << "５"
                                      << "3" << kSizeHint;
    QTest::newRow("spacing full-width") << "EditC3"
                                        << "－１"
                                        << "0" << QStringLiteral("-100～500の数値を入力して下さい");
    QTest::newRow("colour full-width") << "EditD15"
                                       << "３"
                                       << "2" << kColourHint;
    // A stray character after a number reads as no number at all.
    QTest::newRow("offset trailing blank") << "Edit6"
                                           << "2 "
                                           << "0"
                                           << "";
    QTest::newRow("height letter") << "EditB2"
                                   << "4mm"
                                   << "3" << kSizeHint;
    // In degrees, minutes and seconds each part is read; a bad one counts as 0.
    QTest::newRow("angle bad degrees") << "ComboBox2"
                                       << "３０@@30@0"
                                       << "0.5"
                                       << "";
    // Texts that read well look as always.
    QTest::newRow("angle plain") << "ComboBox2"
                                 << "-45.5"
                                 << ""
                                 << "";
    QTest::newRow("angle dms") << "ComboBox2"
                               << "30**15*20"
                               << ""
                               << "";
    QTest::newRow("angle blank") << "ComboBox2"
                                 << ""
                                 << ""
                                 << "";
    QTest::newRow("angle blanks around") << "ComboBox2"
                                         << " 45 "
                                         << ""
                                         << "";
    QTest::newRow("offset exponent") << "Edit3"
                                     << "-1.5e1"
                                     << ""
                                     << "";
    QTest::newRow("offset zero") << "Edit4"
                                 << "0.0"
                                 << ""
                                 << "";
    QTest::newRow("width out of range") << "EditA4"
                                        << "900"
                                        << "" << kSizeHint;
    QTest::newRow("colour hexadecimal") << "EditD1"
                                        << "$65"
                                        << "" << kColourHint;
    QTest::newRow("colour zero") << "EditD2"
                                 << "0"
                                 << "" << kColourHint;
}

void TestInputMethod::unreadableNumbersAreMarked() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, value);
    QFETCH(QString, hint);
    TProgramFolder folder;
    const auto form = folder.Start();
    auto* widget = form->findChild<QWidget*>(box);
    QVERIFY(widget != nullptr);
    auto* combo = qobject_cast<QComboBox*>(widget);
    auto* edit = qobject_cast<TNumberEdit*>(combo != nullptr ? combo->lineEdit() : widget);
    QVERIFY(edit != nullptr);
    const QPalette before = edit->palette();
    const bool ownPalette = edit->testAttribute(Qt::WA_SetPalette);

    edit->setText(text);
    if (value.isEmpty()) {
        QVERIFY(!edit->Marked());
        QCOMPARE(edit->palette(), before);
        QCOMPARE(edit->testAttribute(Qt::WA_SetPalette), ownPalette);
        QCOMPARE(edit->toolTip(), hint);
        return;
    }
    QVERIFY(edit->Marked());
    QCOMPARE(edit->palette().color(QPalette::Base), TNumberEdit::kMarkColour);
    QString expected = QStringLiteral("数値として読めません。ＯＫでは %1 を使います。").arg(value);
    if (!hint.isEmpty()) {
        expected += QLatin1Char('\n') + hint;
    }
    QCOMPARE(edit->toolTip(), expected);
}

// A marked box shows as before once its text reads again; a text loaded from the settings
// file is marked from the start.
void TestInputMethod::markGoesWhenTheTextReadsAgain() {
    TProgramFolder folder;
    TDialogSettings s = DefaultSettings(-1);
    s.angle = u"４５";
    folder.WriteSettings(s);
    const auto form = folder.Start();
    auto* angle = qobject_cast<TNumberEdit*>(form->ComboBox2->lineEdit());
    auto* colour = form->findChild<TNumberEdit*>(QStringLiteral("EditD5"));
    auto* twin = form->findChild<TNumberEdit*>(QStringLiteral("EditD6"));
    QVERIFY(angle != nullptr && colour != nullptr && twin != nullptr);
    QVERIFY(angle->Marked());
    colour->setText(QStringLiteral("ｘ"));
    QVERIFY(colour->Marked());

    form->ComboBox2->setEditText(QStringLiteral("45"));
    colour->setText(QStringLiteral("7"));
    QVERIFY(!angle->Marked());
    QVERIFY(!colour->Marked());
    QCOMPARE(colour->palette(), twin->palette());
    QCOMPARE(colour->testAttribute(Qt::WA_SetPalette), twin->testAttribute(Qt::WA_SetPalette));
    QCOMPARE(colour->toolTip(), kColourHint);
    QCOMPARE(angle->toolTip(), QString());
}

QTEST_MAIN(TestInputMethod)
#include "tst_InputMethod.moc"
