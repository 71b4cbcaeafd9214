// NumberBox: the dialog's edit box for numbers: the input method off, and a mark on a text
// that does not read as a number.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QString>
#include <QVariant>

#include "Unit1Logic.h"

class TNumberEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TNumberEdit(TNumberKind kind, QWidget* parent = nullptr);

    // The input method is never used here, whatever sets the widget attribute again (a
    // read-only change, a combo box taking the box as its edit field): the platform asks
    // this before it lets an input method compose, on Windows and with ibus or fcitx alike.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    // The same for Qt's query method, which QInputMethod calls before the query event.
    Q_INVOKABLE QVariant inputMethodQuery(Qt::InputMethodQuery query, QVariant argument) const;

    // The hint shown while the text reads well.
    void SetHint(const QString& hint);
    // Whether the box shows that its text does not read as a number.
    bool Marked() const { return marked_; }

    // The background of a box whose text does not read as a number.
    static const QColor kMarkColour;

private:
    void ShowReading();

    TNumberKind kind_;
    QString hint_;
    bool marked_ = false;
    // The look before the mark, to be put back exactly.
    bool hadOwnPalette_ = false;
    QPalette normal_;
};

// An editable combo box for a number. It answers the input method's questions for its edit
// field, a TNumberEdit, and says no to composing as the field does: QComboBox would pass the
// query method on to QLineEdit's own answer.
class TNumberCombo : public QComboBox {
    Q_OBJECT

public:
    explicit TNumberCombo(QWidget* parent = nullptr);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    Q_INVOKABLE QVariant inputMethodQuery(Qt::InputMethodQuery query,
                                          const QVariant& argument) const;
};
