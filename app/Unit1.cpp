// Unit1: TForm1, the text-drawing dialog: its controls and their event handlers.
#include "Unit1.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include <QAbstractItemView>
#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QStringListModel>

#include "Composition.h"
#include "NumberBox.h"
#include "PreviewPanel.h"
#include "StartupCheck.h"
#include "Unit1Logic.h"
#include "exchange/DavGaibu.h"
#include "util/MyFunc.h"
#include "util/TextFile.h"
#include "util/Utf16.h"

namespace {

constexpr int kClientWidth = 463;
constexpr int kClientHeight = 373;
constexpr int kButtonPanelHeight = 41;
// The preview panel widens the window to the right by this much.
constexpr int kPreviewWidth = 440;
constexpr int kPreviewButtonWidth = 130;
// The narrowest the panel gets on a narrow screen.
constexpr int kMinPreviewWidth = 240;
constexpr int kRowPixels = 24;  // from one preset row to the next
constexpr int kEditHeight = 21;
constexpr int kOffsetMaxLength = 8;
constexpr int kPresetMaxLength = 6;
// A window counts as reachable when this much of its title strip lies on some screen.
constexpr int kTitleStripHeight = 24;
constexpr int kMinVisibleWidth = 60;
constexpr int kMinVisibleHeight = 10;
// Where a lost window is put back, relative to the primary screen's work area.
constexpr int kHomeOffset = 50;

// The exchange file, in the program's folder.
constexpr std::u16string_view kTempFileName = u"ZIV_TEMP.TXT";

const QColor kFormColour(192, 220, 192);
const QColor kPanelColour(235, 235, 235);

// The prefixes of a preset row's controls, in the order of TPresetRowControls; the row
// number follows.
constexpr const char* kRowPrefixes[] = {"RB", "EditA", "EditB", "EditC", "EditD", "CB", "CC", "CD"};

QString Q(const std::u16string& s) {
    return QString::fromStdU16String(s);
}
std::u16string U(const QString& s) {
    return s.toStdU16String();
}

QString RowName(const char* prefix, int n) {
    return QLatin1String(prefix) + QString::number(n);
}

// A row's controls in the order of kRowPrefixes.
std::array<QWidget*, std::size(kRowPrefixes)> RowWidgets(const TPresetRowControls& c) {
    return {c.RB, c.EditA, c.EditB, c.EditC, c.EditD, c.CB, c.CC, c.CD};
}

// Unchecks a radio button even when it is the checked one of its exclusive siblings.
void Uncheck(QRadioButton* b) {
    if (b == nullptr || !b->isChecked()) {
        return;
    }
    const bool exclusive = b->autoExclusive();
    b->setAutoExclusive(false);
    b->setChecked(false);
    b->setAutoExclusive(exclusive);
}

void SetChecked(QRadioButton* b, bool on) {
    if (on) {
        b->setChecked(true);
    } else {
        Uncheck(b);
    }
}

void SetColour(QWidget* w, const QColor& colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, colour);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

TNumberEdit* MakeEdit(QWidget* parent, TNumberKind kind, int x, int y, int maxLength) {
    auto* edit = new TNumberEdit(kind, parent);
    edit->setGeometry(x, y, 41, kEditHeight);
    edit->setMaxLength(maxLength);
    return edit;
}

// An editable combo box whose drop-down list is a history: Enter never adds to the list and
// nothing is completed behind the user's back. edit, when given, becomes its edit field.
QComboBox* MakeHistoryCombo(QComboBox* combo, QLineEdit* edit = nullptr) {
    combo->setEditable(true);
    if (edit != nullptr) {
        combo->setLineEdit(edit);
    }
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    return combo;
}

// Puts a text into an edit box showing its beginning, as a narrow box should after loading.
void SetEditText(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    edit->setCursorPosition(0);
}

// The combo box answers the input method's question from its edit field (a TNumberEdit);
// the attributes say the same, and the drop-down list, which searches as keys are typed,
// takes plain keys as well.
void SetInputMethodOff(QComboBox* combo) {
    combo->setAttribute(Qt::WA_InputMethodEnabled, false);
    combo->lineEdit()->setAttribute(Qt::WA_InputMethodEnabled, false);
    combo->view()->setAttribute(Qt::WA_InputMethodEnabled, false);
}

std::vector<std::u16string> Items(const QComboBox* combo) {
    std::vector<std::u16string> items;
    items.reserve(static_cast<size_t>(combo->count()));
    for (int i = 0; i < combo->count(); ++i) {
        items.push_back(U(combo->itemText(i)));
    }
    return items;
}

// Fills the drop-down list and shows text in the edit field.
void SetHistory(QComboBox* combo, const std::vector<std::u16string>& items, const QString& text) {
    combo->clear();
    for (const std::u16string& item : items) {
        combo->addItem(Q(item));
    }
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
    combo->lineEdit()->setCursorPosition(0);
}

int CheckedIndex(const QButtonGroup* group) {
    return group->checkedId();
}

void SetCheckedIndex(QButtonGroup* group, int index) {
    if (QAbstractButton* b = group->button(index)) {
        b->setChecked(true);
    }
}

void SetIndex(QComboBox* combo, int index) {
    if (index >= -1 && index < combo->count()) {
        combo->setCurrentIndex(index);
    }
}

std::array<QLineEdit*, 6> OffsetEdits(const TForm1& f) {
    return {f.Edit1, f.Edit2, f.Edit3, f.Edit4, f.Edit5, f.Edit6};
}

// The row's number boxes with the fields of a row that they show: width, height, spacing and
// colour number.
template <class Row>
auto RowBoxes(const TPresetRowControls& c, Row& row) {
    return std::array{std::pair{c.EditA, &row.width}, std::pair{c.EditB, &row.height},
                      std::pair{c.EditC, &row.spacing}, std::pair{c.EditD, &row.colour}};
}

TPresetRow ReadRow(const TPresetRowControls& c) {
    TPresetRow row;
    row.checked = c.RB->isChecked();
    for (const auto& [edit, value] : RowBoxes(c, row)) {
        *value = U(edit->text());
    }
    row.font = c.CB->currentIndex();
    row.fontName = U(c.CB->currentText());
    row.italic = c.CC->isChecked();
    row.bold = c.CD->isChecked();
    return row;
}

void WriteRow(const TPresetRowControls& c, const TPresetRow& row) {
    SetChecked(c.RB, row.checked);
    for (const auto& [edit, value] : RowBoxes(c, row)) {
        SetEditText(edit, Q(*value));
    }
    SetIndex(c.CB, row.font);
    c.CC->setChecked(row.italic);
    c.CD->setChecked(row.bold);
}

// The choices as the controls hold them.
void GatherChoices(const TForm1& f, TDialogChoices& c) {
    c.text = U(f.ComboBox1->currentText());
    c.orientation = CheckedIndex(f.RadioGroup1Items);
    c.angle = U(f.ComboBox2->currentText());
    c.basePoint = CheckedIndex(f.RadioGroup2Items);
    c.offsetsOn = f.CheckBox1->isChecked();
    const auto edits = OffsetEdits(f);
    for (size_t i = 0; i < edits.size(); ++i) {
        c.offsets[i] = U(edits[i]->text());
    }
    c.hostType = f.RadioButton1->isChecked();
    c.textType = f.ComboBox3->currentIndex();
    c.italic = f.CheckBox2->isChecked();
    c.bold = f.CheckBox3->isChecked();
    for (size_t i = 0; i < c.rows.size(); ++i) {
        c.rows[i] = ReadRow(f.PresetRows[i]);
    }
}

// Where the start-up mode put the text.
TTextPlace TextPlaceOf(const TForm1& f) {
    return {f.mx1, f.my1, f.mx2, f.my2, f.mjiku, f.mfit};
}

// The whole dialog: its controls and the start-up mode's fields.
TDialogState GatherState(const TForm1& f) {
    TDialogState s;
    GatherChoices(f, s);
    s.left = f.x();
    s.top = f.y();
    s.hostFont = f.ComboBox4->currentIndex();
    s.textHistory = Items(f.ComboBox1);
    s.angleHistory = Items(f.ComboBox2);
    s.previewOpen = f.PreviewOpen();
    s.hostFontName = U(f.ComboBox4->currentText());
    s.textTypes = f.ComboBox3->count();
    static_cast<TTextPlace&>(s) = TextPlaceOf(f);
    return s;
}

// What the preview and the status line read at each change: the controls the placement
// reads, not the histories.
TTextInput GatherTextInput(const TForm1& f) {
    TTextInput in;
    GatherChoices(f, in);
    static_cast<TTextPlace&>(in) = TextPlaceOf(f);
    in.hostFont = U(f.ComboBox4->currentText());
    return in;
}

// What OK makes of the dialog. A dialog whose start was refused has no model: the text is then
// placed against an empty one, and nothing of it is ever written.
TOkResult Confirm(const TForm1& f) {
    if (f.JG) {
        return ConfirmText(GatherState(f), *f.JG);
    }
    return ConfirmText(GatherState(f), TJGdata());
}

// OK puts the histories first in their lists and shows the text and the angle as it took them.
void PutHistories(const TForm1& f, const TDialogSettings& s) {
    SetHistory(f.ComboBox1, s.textHistory, Q(s.text));
    SetHistory(f.ComboBox2, s.angleHistory, Q(s.angle));
}

// What OK corrected goes back into the dialog: the preset boxes whose values it replaced, and
// the text-type selection. The other boxes are left as they are, their cursors included.
void PutCorrections(const TForm1& f, const TDialogSettings& s) {
    for (size_t i = 0; i < s.rows.size(); ++i) {
        for (const auto& [edit, value] : RowBoxes(f.PresetRows[i], s.rows[i])) {
            if (U(edit->text()) != *value) {
                SetEditText(edit, Q(*value));
            }
        }
    }
    if (f.ComboBox3->currentIndex() != s.textType) {
        SetIndex(f.ComboBox3, s.textType);
    }
}

void PutSettings(TForm1& f, const TDialogSettings& s) {
    f.move(s.left, s.top);
    SetHistory(f.ComboBox1, s.textHistory, Q(s.text));
    SetCheckedIndex(f.RadioGroup1Items, s.orientation);
    SetHistory(f.ComboBox2, s.angleHistory, Q(s.angle));
    SetChecked(f.RadioButton1, s.hostType);
    SetIndex(f.ComboBox3, s.textType);
    SetIndex(f.ComboBox4, s.hostFont);
    f.CheckBox2->setChecked(s.italic);
    f.CheckBox3->setChecked(s.bold);
    SetCheckedIndex(f.RadioGroup2Items, s.basePoint);
    f.CheckBox1->setChecked(s.offsetsOn);
    const auto edits = OffsetEdits(f);
    for (size_t i = 0; i < edits.size(); ++i) {
        SetEditText(edits[i], Q(s.offsets[i]));
    }
    for (size_t i = 0; i < s.rows.size(); ++i) {
        WriteRow(f.PresetRows[i], s.rows[i]);
    }
}

// Whether enough of the title strip of a window width wide at (left, top) lies on some screen
// for the user to grab it. Reckoned in 64 bits: a saved edge near the end of the range of an
// int would overflow the window's right or bottom edge.
bool Reachable(int left, int top, int width) {
    const auto screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&](const QScreen* screen) {
        const QRect area = screen->availableGeometry();
        const auto overlap = [](qint64 a1, qint64 a2, qint64 b1, qint64 b2) {
            return std::min(a2, b2) - std::max(a1, b1);
        };
        const qint64 seenWidth = overlap(left, qint64{left} + width, area.left(),
                                         qint64{area.left()} + area.width());
        const qint64 seenHeight = overlap(top, qint64{top} + kTitleStripHeight, area.top(),
                                          qint64{area.top()} + area.height());
        return seenWidth >= kMinVisibleWidth && seenHeight >= kMinVisibleHeight;
    });
}

}  // namespace

// Ends the dialog as cancelled when another X client destroys its window: without a window
// nobody could close it, and the host would wait for the program for ever.
class TWindowGoneFilter : public QAbstractNativeEventFilter {
public:
    explicit TWindowGoneFilter(TForm1* form) : form_(form) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t") {
            return false;
        }
        // An X DestroyNotify event: its code, then the window it reports at byte 8.
        constexpr uint8_t kDestroyNotify = 17;
        const auto* bytes = static_cast<const unsigned char*>(message);
        if ((bytes[0] & 0x7F) != kDestroyNotify) {
            return false;
        }
        uint32_t window = 0;
        std::memcpy(&window, bytes + 8, sizeof window);
        if (window != 0 && window == form_->internalWinId()) {
            QMetaObject::invokeMethod(form_, &TForm1::reject, Qt::QueuedConnection);
        }
        return false;
    }

private:
    TForm1* form_;
};

TForm1::TForm1()
    : TForm1(QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1)) {}

TForm1::TForm1(const QString& programPath, const QStringList& arguments, QWidget* parent)
    : QDialog(parent), programPath_(programPath), arguments_(arguments) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("r407－文字の作図"));
    setFixedSize(kClientWidth, kClientHeight);
    SetColour(this, kFormColour);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    setFont(font);

    messageHook_ = [this](const QString& text, bool warning) { ShowMessage(text, warning); };

    CreateControls();
    CreatePresetRows();
    SetTabOrder();
    InstallInputConventions();
    windowGone_ = std::make_unique<TWindowGoneFilter>(this);
    QCoreApplication::instance()->installNativeEventFilter(windowGone_.get());
}

// The preview's scene may still be being built from the model: it is let go first.
TForm1::~TForm1() {
    if (Preview != nullptr) {
        Preview->SetHost(nullptr);
    }
}

void TForm1::SetMessageHook(TMessageHook hook) {
    messageHook_ = [hook = std::move(hook)](const QString& text, bool) { hook(text); };
}

int TForm1::ExitCode() const {
    return saveFailed_ || startRefused_ ? 1 : 0;
}

// A message box of the dialog's own; a warning carries the warning icon.
void TForm1::ShowMessage(const QString& text, bool warning) {
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::NoIcon, windowTitle(), text,
                    QMessageBox::Ok, this);
    box.exec();
}

void TForm1::CreateControls() {
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, kClientWidth, kClientHeight - kButtonPanelHeight);

    CreateTextBox();
    CreateOrientation();
    CreateAngle();
    CreateBasePoint();
    CreateOffsets();
    CreateTextType();
    CreateScrollBox();
    CreateStatusAndButtons();

    connect(RadioButton1, &QRadioButton::clicked, this, &TForm1::RadioButton1Click);
    connect(ComboBox3, &QComboBox::activated, this, &TForm1::ComboBox3Click);
    connect(CheckBox1, &QCheckBox::clicked, this, &TForm1::CheckBox1Click);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
}

// The text to draw, across the top.
void TForm1::CreateTextBox() {
    ComboBox1 = MakeHistoryCombo(new QComboBox(Panel1));
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(0, 0, kClientWidth, 24);
    ComboBox1->lineEdit()->setMaxLength(static_cast<int>(kTextMaxLength));
    QFont textFont(QStringLiteral("ＭＳ ゴシック"));
    textFont.setPixelSize(16);
    ComboBox1->setFont(textFont);
    connect(ComboBox1->lineEdit(), &QLineEdit::textChanged, this, &TForm1::KeepTextSingleLine);
    composition_ = new TComposition(ComboBox1);
    // Queued: the box takes the composition after its watcher has seen it.
    connect(composition_, &TComposition::Changed, this, &TForm1::UpdatePreview,
            Qt::QueuedConnection);
}

// The four orientations.
void TForm1::CreateOrientation() {
    RadioGroup1 = new QGroupBox(Panel1);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(0, 32, 233, 33);
    RadioGroup1Items = new QButtonGroup(RadioGroup1);
    const QString orientations[] = {QStringLiteral("横字"), QStringLiteral("縦字"),
                                    QStringLiteral("日影"), QStringLiteral("2.5D")};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(orientations[i], RadioGroup1);
        b->setGeometry(8 + 56 * i, 8, 54, 17);
        RadioGroup1Items->addButton(b, i);
    }
}

// The angle with its history.
void TForm1::CreateAngle() {
    Label1 = MakeLabel(Panel1, QStringLiteral("角度"), 8, 72);
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox2 = MakeHistoryCombo(new TNumberCombo(Panel1), new TNumberEdit(TNumberKind::Angle));
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setGeometry(48, 68, 169, kEditHeight);
    SetInputMethodOff(ComboBox2);
    Label2 = MakeLabel(Panel1, QStringLiteral("°"), 224, 72);
    Label2->setObjectName(QStringLiteral("Label2"));
}

// The nine base points.
void TForm1::CreateBasePoint() {
    // The base-point options fill the columns top to bottom, each at the place it names.
    RadioGroup2 = new QGroupBox(QStringLiteral("文字基点(&B)"), Panel1);
    RadioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
    RadioGroup2->setGeometry(296, 32, 161, 89);
    RadioGroup2Items = new QButtonGroup(RadioGroup2);
    const QString basePoints[] = {
        QStringLiteral("左上"), QStringLiteral("左中"), QStringLiteral("左下"),
        QStringLiteral("中上"), QStringLiteral("中中"), QStringLiteral("中下"),
        QStringLiteral("右上"), QStringLiteral("右中"), QStringLiteral("右下")};
    for (int i = 0; i < 9; ++i) {
        auto* b = new QRadioButton(basePoints[i], RadioGroup2);
        b->setGeometry(8 + 50 * (i / 3), 18 + 22 * (i % 3), 48, 17);
        RadioGroup2Items->addButton(b, i);
    }
}

// The offsets and the check box that switches them on.
void TForm1::CreateOffsets() {
    Label3 = MakeLabel(Panel1, QStringLiteral("縦ずれ"), 248, 32);
    Label3->setObjectName(QStringLiteral("Label3"));
    constexpr TNumberKind kOffset = TNumberKind::Offset;
    Edit1 = MakeEdit(Panel1, kOffset, 248, 48, kOffsetMaxLength);
    Edit2 = MakeEdit(Panel1, kOffset, 248, 72, kOffsetMaxLength);
    Edit3 = MakeEdit(Panel1, kOffset, 248, 96, kOffsetMaxLength);
    CheckBox1 = new QCheckBox(QStringLiteral(" 横ずれ"), Panel1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(243, 129, 71, 17);
    Edit4 = MakeEdit(Panel1, kOffset, 320, 128, kOffsetMaxLength);
    Edit5 = MakeEdit(Panel1, kOffset, 368, 128, kOffsetMaxLength);
    Edit6 = MakeEdit(Panel1, kOffset, 416, 128, kOffsetMaxLength);
    const auto edits = OffsetEdits(*this);
    for (size_t i = 0; i < edits.size(); ++i) {
        edits[i]->setObjectName(QStringLiteral("Edit") + QString::number(i + 1));
        edits[i]->setText(QStringLiteral("0"));
    }
    Label12 = MakeLabel(Panel1, QStringLiteral("※各長さの数値は図寸mmで入力"), 248, 152);
    Label12->setObjectName(QStringLiteral("Label12"));
}

// The host's text type with its font, and the summary of the chosen size.
void TForm1::CreateTextType() {
    RadioButton1 = new QRadioButton(Panel1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setGeometry(8, 94, 25, 25);
    ComboBox3 = new QComboBox(Panel1);
    ComboBox3->setObjectName(QStringLiteral("ComboBox3"));
    ComboBox3->setGeometry(32, 95, 201, kEditHeight);
    LabelB1 = new QLabel(Panel1);
    LabelB1->setObjectName(QStringLiteral("LabelB1"));
    LabelB1->setGeometry(56, 120, 185, 16);
    Label4 = MakeLabel(Panel1, QStringLiteral("フォント"), 8, 140);
    Label4->setObjectName(QStringLiteral("Label4"));
    // Four full-width characters at 13 pixels would run under ComboBox4, 48 pixels further on;
    // a pixel less between them keeps the label in the size of the others.
    QFont labelFont = Label4->font();
    labelFont.setLetterSpacing(QFont::AbsoluteSpacing, -1);
    Label4->setFont(labelFont);
    Label4->adjustSize();
    ComboBox4 = new QComboBox(Panel1);
    ComboBox4->setObjectName(QStringLiteral("ComboBox4"));
    ComboBox4->setGeometry(56, 136, 177, kEditHeight);
    CheckBox2 = new QCheckBox(QStringLiteral("斜体"), Panel1);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->setGeometry(56, 162, 57, 17);
    CheckBox3 = new QCheckBox(QStringLiteral("太字"), Panel1);
    CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
    CheckBox3->setGeometry(120, 162, 57, 17);
}

// The headings of the preset rows and the scroll box that holds the rows.
void TForm1::CreateScrollBox() {
    Panel4 = new QWidget(Panel1);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setGeometry(8, 181, 449, 20);
    SetColour(Panel4, kPanelColour);
    const std::pair<QString, int> headings[] = {
        {QStringLiteral("横"), 32},        {QStringLiteral("縦"), 80},
        {QStringLiteral("間隔"), 120},     {QStringLiteral("色No."), 168},
        {QStringLiteral("フォント"), 248}, {QStringLiteral("斜体"), 360},
        {QStringLiteral("太字"), 392}};
    for (const auto& [text, x] : headings) {
        MakeLabel(Panel4, text, x, 3);
    }

    ScrollBox2 = new QScrollArea(Panel1);
    ScrollBox2->setObjectName(QStringLiteral("ScrollBox2"));
    ScrollBox2->setGeometry(8, 201, 449, 113);
    ScrollBox2->setFocusPolicy(Qt::NoFocus);
    ScrollBox2->setWidgetResizable(false);
    Panel3 = new QWidget;
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->resize(425, 364);
    SetColour(Panel3, kPanelColour);
    ScrollBox2->setWidget(Panel3);
}

// The status line and the buttons.
void TForm1::CreateStatusAndButtons() {
    LabelM = new QLabel(Panel1);
    LabelM->setObjectName(QStringLiteral("LabelM"));
    LabelM->setGeometry(0, 316, kClientWidth, 16);
    LabelM->setAlignment(Qt::AlignCenter);

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(0, kClientHeight - kButtonPanelHeight, kClientWidth, kButtonPanelHeight);
    Button1 = new QPushButton(QStringLiteral("ＯＫ (&Y)"), Panel2);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(4, 4, 85, 35);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("キャンセル (&N)"), Panel2);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(100, 4, 130, 35);
    // At the right end of the row. Enter stays with OK even while this button has the focus.
    Button3 = new QPushButton(QStringLiteral("プレビュー(&P) >>"), Panel2);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(kClientWidth - 4 - kPreviewButtonWidth, 4, kPreviewButtonWidth, 35);
    Button3->setAutoDefault(false);
}

void TForm1::CreatePresetRows() {
    const QString blank = QStringLiteral("　");
    const QString sizeHint = QStringLiteral("0.1～500の数値を入力して下さい");
    const QString spacingHint = QStringLiteral("-100～500の数値を入力して下さい");
    const QString colourHint = QStringLiteral("1～9、101～356(SXF1～256)の数値を入力して下さい");
    for (int n = 1; n <= kPresetRows; ++n) {
        const int top = kRowPixels * (n - 1);
        auto* rb = new QRadioButton(blank, Panel3);
        rb->setGeometry(0, top + 2, 17, 17);
        rb->setProperty("tag", n);
        connect(rb, &QRadioButton::clicked, this, &TForm1::RB1Click);

        const std::tuple<int, TNumberKind, QString> boxes[] = {
            {16, TNumberKind::Size, sizeHint},
            {64, TNumberKind::Size, sizeHint},
            {112, TNumberKind::Spacing, spacingHint},
            {160, TNumberKind::Colour, colourHint}};
        TNumberEdit* edits[4];
        for (int i = 0; i < 4; ++i) {
            const auto& [x, kind, hint] = boxes[i];
            edits[i] = MakeEdit(Panel3, kind, x, top, kPresetMaxLength);
            edits[i]->SetHint(hint);
        }

        auto* cb = new QComboBox(Panel3);
        cb->setGeometry(208, top, 145, kEditHeight);
        auto* cc = new QCheckBox(blank, Panel3);
        cc->setGeometry(368, top + 2, 17, 17);
        auto* cd = new QCheckBox(blank, Panel3);
        cd->setGeometry(396, top + 2, 17, 17);

        TPresetRowControls& row = PresetRows[static_cast<size_t>(n - 1)];
        row = {rb, edits[0], edits[1], edits[2], edits[3], cb, cc, cd};
        const auto controls = RowWidgets(row);
        for (size_t i = 0; i < controls.size(); ++i) {
            controls[i]->setObjectName(RowName(kRowPrefixes[i], n));
        }
        WriteRow(row, TPresetRow{});
    }
}

void TForm1::SetTabOrder() {
    std::vector<QWidget*> chain{ComboBox1};
    for (QAbstractButton* b : RadioGroup1Items->buttons()) {
        chain.push_back(b);
    }
    chain.push_back(ComboBox2);
    for (QAbstractButton* b : RadioGroup2Items->buttons()) {
        chain.push_back(b);
    }
    for (QLineEdit* e : OffsetEdits(*this)) {
        chain.push_back(e);
    }
    chain.insert(chain.end(),
                 {CheckBox1, RadioButton1, ComboBox3, ComboBox4, CheckBox2, CheckBox3});
    for (const TPresetRowControls& row : PresetRows) {
        for (QWidget* w : RowWidgets(row)) {
            chain.push_back(w);
        }
    }
    chain.push_back(Button1);
    chain.push_back(Button2);
    chain.push_back(Button3);
    for (size_t i = 1; i < chain.size(); ++i) {
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    }
}

void TForm1::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TForm1::setVisible(bool visible) {
    if (visible && !checked_) {
        checked_ = true;
        if (!OpenHostFile()) {
            // Ends as Cancel does, once the event loop runs: nothing is written.
            startRefused_ = true;
            QMetaObject::invokeMethod(
                this, [this] { done(QDialog::Rejected); }, Qt::QueuedConnection);
            return;
        }
    }
    QDialog::setVisible(visible);
}

// Start-up up to the host's data: the folders, the model read from the host's file. False,
// after a warning that says why and what to do, when the dialog cannot work on that file:
// there is none (the program was not started by the host), it cannot be read, or OK could
// neither replace it nor remove it.
bool TForm1::OpenHostFile() {
    const QFileInfo program(programPath_);
    ProgramFolder = U(program.absolutePath() + QLatin1Char('/'));
    DatFile = U(program.absolutePath() + QLatin1Char('/') + program.completeBaseName() +
                QStringLiteral(".dat"));

    LabelM->clear();
    OKflag = false;

    JG = std::make_unique<TJGdata>();
    const std::u16string hostFile = ProgramFolder + std::u16string(kTempFileName);
    const TStartupProblem problem = StartupProblem(::OpenHostFile(hostFile, *JG));
    if (problem != TStartupProblem::None) {
        QApplication::beep();
        messageHook_(Q(StartupMessage(problem, U(QDir::toNativeSeparators(program.absolutePath())),
                                      U(program.fileName()))),
                     true);
        JG.reset();
        return false;
    }
    JG->S_Init();

    // What a run ended in the middle of a save left beside the two files.
    RemoveStaleTemporaries(hostFile);
    RemoveStaleTemporaries(DatFile);
    return true;
}

void TForm1::FormShow() {
    if (!JG) {
        return;
    }
    LabelB1->clear();
    FillFontList(ComboBox4);
    for (const TPresetRowControls& row : PresetRows) {
        FillFontList(row.CB);
    }

    ComboBox3->clear();
    for (const std::u16string& entry : TextTypeEntries(*JG)) {
        ComboBox3->addItem(Q(entry));
    }

    OpenDatFile();

    if (RadioButton1->isChecked()) {
        RadioButton1Click();
    } else {
        RB1Click();
    }
    CheckBox1Click();

    mx1 = 0.0;
    my1 = 0.0;
    mjiku = true;
    mfit = false;
    ApplyStartupMode();
    if (mfit) {
        ConnectPlacementUpdates(&TForm1::ShowFittedSize);
        ShowFittedSize();
    }
    if (previewWanted_) {
        OpenPreview();
    }

    // The remembered text is selected, so that typing replaces it.
    ComboBox1->setFocus(Qt::OtherFocusReason);
    ComboBox1->lineEdit()->selectAll();
}

void TForm1::FillFontList(QComboBox* combo) {
    // One model for all sixteen lists: the installed fonts are asked for and sorted once, and
    // a desktop with hundreds of families does not pay for sixteen copies of their items.
    if (fontNames_ == nullptr) {
        QStringList families = QFontDatabase::families();
        std::stable_sort(families.begin(), families.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        QStringList usable;
        usable.reserve(families.size());
        for (const QString& name : families) {
            if (IsUsableFontName(U(name))) {
                usable.append(name);
            }
        }
        fontNames_ = new QStringListModel(std::move(usable), this);
    }
    if (combo->model() != fontNames_) {
        combo->setModel(fontNames_);
    }
}

void TForm1::Button1Click() {
    const QString text = ComboBox1->currentText();
    if (StripBlanks(U(text)).empty()) {
        QApplication::beep();
        messageHook_(QStringLiteral("文字を入力して下さい。"), false);
        ComboBox1->setFocus();
        return;
    }
    // The controls are read once here: the commands, the settings file and the dialog after
    // OK all take what OK makes of them.
    auto ok = std::make_unique<TOkResult>(Confirm(*this));
    // Picked points near the largest numbers with offsets, or a fit between such points, can
    // put the text beyond the range of a number: the host could draw nothing of it.
    if (JG && !IsFinitePlacement(ok->placement)) {
        QApplication::beep();
        messageHook_(QStringLiteral("文字の位置または大きさが数値の範囲を超えています。"), false);
        return;
    }
    PutHistories(*this, ok->settings);
    ok_ = std::move(ok);
    OKflag = true;
    accept();
}

void TForm1::Button2Click() {
    OKflag = false;
    QDialog::reject();
}

void TForm1::reject() {
    Button2Click();
}

void TForm1::done(int r) {
    FormClose();
    QDialog::done(r);
}

void TForm1::FormClose() {
    // The preview lets go of the model (and waits for a scene still being built from it)
    // before the commands are written into the model.
    if (Preview != nullptr) {
        Preview->SetHost(nullptr);
    }
    if (OKflag && JG && ok_) {
        LabelM->setText(QStringLiteral("処理中です"));
        LabelM->repaint();
        MakeTextCommands();
        LabelM->setText(QStringLiteral("ファイル生成中です"));
        LabelM->repaint();
        if (JG->SaveTempFile(ProgramFolder + std::u16string(kTempFileName))) {
            SaveDatFile();
        } else {
            // The host would take its own file for the commands: say so, keep the settings
            // as they were and end with a failure status.
            saveFailed_ = true;
            QApplication::beep();
            messageHook_(QStringLiteral("ZIV_TEMP.TXTを保存できませんでした。"), false);
        }
    }
    JG.reset();
    ok_.reset();
}

// The commands of the text OK placed, then its corrections shown in the dialog.
void TForm1::MakeTextCommands() {
    // OK refuses a placement that is not finite; the check keeps its attribute commands out
    // all the same.
    if (IsFinitePlacement(ok_->placement)) {
        WriteText(ok_->placement, *JG);
    }
    PutCorrections(*this, ok_->settings);
}

void TForm1::RadioButton1Click() {
    for (const TPresetRowControls& row : PresetRows) {
        Uncheck(row.RB);
    }
    LabelB1->clear();
    const int k = ComboBox3->currentIndex();
    if (k < 0 || !JG) {
        return;
    }
    ShowSummary(Q(HostTypeSummary(k, *JG)));
}

void TForm1::RB1Click() {
    Uncheck(RadioButton1);
    const auto checked =
        std::find_if(PresetRows.begin(), PresetRows.end(),
                     [](const TPresetRowControls& row) { return row.RB->isChecked(); });
    ShowSummary(Q(RowSummary(ReadRow(checked != PresetRows.end() ? *checked : PresetRows[0]))));
}

void TForm1::ComboBox3Click() {
    RadioButton1->setChecked(true);
    RadioButton1Click();
}

void TForm1::CheckBox1Click() {
    for (QLineEdit* e : OffsetEdits(*this)) {
        e->setEnabled(CheckBox1->isChecked());
    }
}

void TForm1::OpenDatFile() {
    const int msGothic = ComboBox4->findText(QStringLiteral("ＭＳ ゴシック"), Qt::MatchFixedString);
    TDialogSettings s = DefaultSettings(msGothic);
    TListSizes sizes;
    sizes.orientations = static_cast<int>(RadioGroup1Items->buttons().size());
    sizes.textTypes = ComboBox3->count();
    sizes.fonts = ComboBox4->count();
    sizes.basePoints = static_cast<int>(RadioGroup2Items->buttons().size());
    LoadSettingsFile(DatFile, sizes, s);
    KeepOnScreen(s.left, s.top);
    PutSettings(*this, s);
    previewWanted_ = s.previewOpen;
}

void TForm1::SaveDatFile() {
    SaveSettingsFile(DatFile, ok_->settings);
}

void TForm1::ApplyStartupMode() {
    std::optional<std::u16string> mode;
    if (!arguments_.isEmpty()) {
        mode = U(arguments_.first());
    }
    const TStartupPlacement p = StartupPlacement(mode, *JG);
    mx1 = p.mx1;
    my1 = p.my1;
    mx2 = p.mx2;
    my2 = p.my2;
    mjiku = p.mjiku;
    mfit = p.mfit;
    if (p.angle) {
        ComboBox2->setEditText(Q(*p.angle));
    }
}

// A position saved on a screen that is no longer there, or beyond any screen, would hide the
// dialog: it is brought back onto the primary screen before the window is moved there.
void TForm1::KeepOnScreen(int& left, int& top) const {
    if (Reachable(left, top, width())) {
        return;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        left = area.left() + kHomeOffset;
        top = area.top() + kHomeOffset;
    }
}

// A text pasted with line breaks stays one line: each CR and LF becomes a blank. Where the
// length limit cut a pasted character in two, its first half goes as well.
void TForm1::KeepTextSingleLine(const QString& text) {
    const std::u16string whole = Utf16::WholeCharacters(Utf16::OneLine(U(text)));
    if (whole == U(text)) {
        return;
    }
    QLineEdit* edit = ComboBox1->lineEdit();
    const int cursor = edit->cursorPosition();
    edit->setText(Q(whole));
    edit->setCursorPosition(std::min(cursor, static_cast<int>(whole.size())));
}

// LabelB1 shows the whole summary: a long one is drawn smaller rather than cut off.
void TForm1::ShowSummary(const QString& text) {
    constexpr int kSmallestPixels = 8;
    QFont labelFont = font();
    const int width = LabelB1->contentsRect().width();
    while (labelFont.pixelSize() > kSmallestPixels &&
           QFontMetrics(labelFont).horizontalAdvance(text) > width) {
        labelFont.setPixelSize(labelFont.pixelSize() - 1);
    }
    LabelB1->setFont(labelFont);
    LabelB1->setText(text);
}

bool TForm1::PreviewOpen() const {
    return Preview != nullptr && !Preview->isHidden();
}

void TForm1::Button3Click() {
    if (PreviewOpen()) {
        ClosePreview();
    } else {
        OpenPreview();
    }
}

// The panel is built the first time it opens: a dialog that never shows it pays nothing.
void TForm1::OpenPreview() {
    if (!JG) {
        return;
    }
    if (Preview == nullptr) {
        Preview = new TPreviewPanel(this);
        Preview->SetHost(JG.get());
        ConnectPreviewUpdates();
    }
    const int width = PreviewWidth();
    Preview->setGeometry(kClientWidth, 0, width, kClientHeight);
    setFixedSize(kClientWidth + width, kClientHeight);
    KeepWideOnScreen();
    Preview->show();
    Button3->setText(QStringLiteral("<< プレビュー(&P)"));
    UpdatePreview();
}

// The panel's width: narrower than usual where the screen is too narrow for the widened
// window (a high resolution scales the dialog up, 144 dpi by one and a half).
int TForm1::PreviewWidth() const {
    const QScreen* screen = this->screen();
    if (screen == nullptr) {
        return kPreviewWidth;
    }
    const int frame = frameGeometry().width() - width();
    const int room = screen->availableGeometry().width() - frame - kClientWidth;
    return std::clamp(room, kMinPreviewWidth, kPreviewWidth);
}

// Moves the widened window back onto its screen where its right edge (or, on a screen too
// narrow even for the narrowest panel, its left edge) has left it.
void TForm1::KeepWideOnScreen() {
    const QScreen* screen = this->screen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QRect frame = frameGeometry();
    int left = frame.left();
    if (left + frame.width() > area.left() + area.width()) {
        left = area.left() + area.width() - frame.width();
    }
    left = std::max(left, area.left());
    if (left != frame.left()) {
        move(left, frame.top());
    }
}

void TForm1::ClosePreview() {
    if (Preview != nullptr) {
        Preview->hide();
    }
    setFixedSize(kClientWidth, kClientHeight);
    Button3->setText(QStringLiteral("プレビュー(&P) >>"));
}

// Every control that the text's placement reads redraws the preview when it changes.
void TForm1::ConnectPreviewUpdates() {
    ConnectPlacementUpdates(&TForm1::UpdatePreview);
}

// Calls slot whenever a control that the text's placement reads changes.
void TForm1::ConnectPlacementUpdates(void (TForm1::*slot)()) {
    for (QLineEdit* e : Panel1->findChildren<QLineEdit*>()) {
        // The text and angle boxes' own edit fields are followed through their combo boxes.
        if (qobject_cast<QComboBox*>(e->parentWidget()) == nullptr) {
            connect(e, &QLineEdit::textChanged, this, slot);
        }
    }
    for (QComboBox* c : Panel1->findChildren<QComboBox*>()) {
        connect(c, &QComboBox::currentTextChanged, this, slot);
    }
    for (QAbstractButton* b : Panel1->findChildren<QAbstractButton*>()) {
        connect(b, &QAbstractButton::toggled, this, slot);
    }
}

// In fit mode the status line shows the size the text takes between the two points.
void TForm1::ShowFittedSize() {
    if (!mfit || !JG || OKflag) {
        return;
    }
    LabelM->setText(Q(FittedSizeText(PlaceText(GatherTextInput(*this), *JG).placement)));
}

void TForm1::UpdatePreview() {
    if (!PreviewOpen() || !JG) {
        return;
    }
    // The same placement that OK sends; the corrections of out-of-range boxes that OK would
    // make are not put into the dialog here.
    // While the input method composes, the text as the user sees it, composition included.
    TTextInput in = GatherTextInput(*this);
    const QLineEdit* edit = ComboBox1->lineEdit();
    in.text = ComposedText(U(edit->text()), edit->cursorPosition(), U(composition_->Preedit()));
    Preview->ShowPlacement(PlaceText(in, *JG).placement);
}
