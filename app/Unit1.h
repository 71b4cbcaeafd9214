// Unit1: TForm1, the text-drawing dialog: its controls and their event handlers.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>
#include <QString>
#include <QStringList>

#include "Unit1Settings.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QStringListModel;
class QWidget;
class TComposition;
class TJGdata;
class TPreviewPanel;
class TWindowGoneFilter;
struct TOkResult;

// One preset row's controls, each named by its prefix and the row number ("EditA3").
struct TPresetRowControls {
    QRadioButton* RB = nullptr;
    QLineEdit* EditA = nullptr;  // width
    QLineEdit* EditB = nullptr;  // height
    QLineEdit* EditC = nullptr;  // spacing
    QLineEdit* EditD = nullptr;  // colour number
    QComboBox* CB = nullptr;     // font
    QCheckBox* CC = nullptr;     // italic
    QCheckBox* CD = nullptr;     // bold
};

class TForm1 : public QDialog {
    Q_OBJECT

public:
    // Shows the dialog's messages; replaceable so that nothing modal blocks a test.
    using TMessageHook = std::function<void(const QString& text)>;

    // The program's own path and its command-line arguments (without the program name).
    TForm1();
    TForm1(const QString& programPath, const QStringList& arguments, QWidget* parent = nullptr);
    ~TForm1() override;

    void SetMessageHook(TMessageHook hook);
    // The program's exit status: 0, or 1 when OK was pressed but the commands could not be
    // saved for the host, or when the dialog ended at start because it could not work on the
    // host's file.
    int ExitCode() const;

    // Controls, in the order of their places in the window.
    QWidget* Panel1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QButtonGroup* RadioGroup1Items = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QLabel* Label2 = nullptr;
    QGroupBox* RadioGroup2 = nullptr;
    QButtonGroup* RadioGroup2Items = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QLabel* Label12 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QLabel* LabelB1 = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* ComboBox4 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QWidget* Panel4 = nullptr;
    QScrollArea* ScrollBox2 = nullptr;
    QWidget* Panel3 = nullptr;
    QLabel* LabelM = nullptr;
    QWidget* Panel2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    // Opens and closes the preview panel beside the dialog; the panel is built when first
    // opened.
    QPushButton* Button3 = nullptr;
    TPreviewPanel* Preview = nullptr;
    // The preset rows in the scroll box, row 1 first.
    std::array<TPresetRowControls, kPresetRows> PresetRows{};

    // Fields.
    std::u16string DatFile;
    bool OKflag = false;
    double mx1 = 0.0, my1 = 0.0;
    double mx2 = 0.0, my2 = 0.0;
    bool mjiku = true;
    bool mfit = false;
    std::unique_ptr<TJGdata> JG;
    std::u16string ProgramFolder;

    // Event handlers.
    void FormShow();
    void Button1Click();
    void Button2Click();
    void FormClose();
    void RadioButton1Click();
    void RB1Click();
    void ComboBox3Click();
    void CheckBox1Click();
    void Button3Click();
    bool PreviewOpen() const;

    // Cancel, Escape and the close box all end here.
    void reject() override;
    // Every way of closing passes through here once.
    void done(int r) override;
    // The host's file is read and checked before the window first appears: a dialog that
    // cannot work on it says why and ends without being shown.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    // The keyboard and wheel conventions (DialogKeys.cpp): Tab and Shift+Tab stop once in an
    // option group, at its ticked option; the arrow keys inside option groups, Alt+P, the wheel
    // over drop-down lists.
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool OpenHostFile();
    void ShowMessage(const QString& text, bool warning);
    void CreateControls();
    void CreateTextBox();
    void CreateOrientation();
    void CreateAngle();
    void CreateBasePoint();
    void CreateOffsets();
    void CreateTextType();
    void CreateScrollBox();
    void CreateStatusAndButtons();
    void CreatePresetRows();
    void SetTabOrder();
    void FillFontList(QComboBox* combo);
    void MakeTextCommands();
    void OpenDatFile();
    void SaveDatFile();
    void ApplyStartupMode();
    void KeepOnScreen(int& left, int& top) const;
    void KeepTextSingleLine(const QString& text);
    void InstallInputConventions();
    std::vector<QAbstractButton*> OptionGroup(const QObject* option) const;
    bool MoveInOptionGroup(QAbstractButton* from, int step);
    void ShowSummary(const QString& text);
    void OpenPreview();
    int PreviewWidth() const;
    void KeepWideOnScreen();
    void ClosePreview();
    void ConnectPreviewUpdates();
    void ConnectPlacementUpdates(void (TForm1::*slot)());
    void ShowFittedSize();
    void UpdatePreview();

    QString programPath_;
    QStringList arguments_;
    // Shows a message; a warning carries the warning icon.
    std::function<void(const QString& text, bool warning)> messageHook_;
    bool shown_ = false;
    bool checked_ = false;
    bool startRefused_ = false;
    bool saveFailed_ = false;
    // What OK made of the dialog, from the click until the dialog closes.
    std::unique_ptr<TOkResult> ok_;
    std::unique_ptr<TWindowGoneFilter> windowGone_;
    // The input method's composition in the text box.
    TComposition* composition_ = nullptr;
    // The installed screen fonts, asked once; the one model of every font list.
    QStringListModel* fontNames_ = nullptr;
    // The settings asked for the panel open; it opens once the host's data is loaded.
    bool previewWanted_ = false;
};
