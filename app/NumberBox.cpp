// NumberBox: the edit boxes for the angle, the offsets and the preset rows.
#include "NumberBox.h"

#include <optional>
#include <string>

const QColor TNumberEdit::kMarkColour(255, 214, 214);

TNumberEdit::TNumberEdit(TNumberKind kind, QWidget* parent) : QLineEdit(parent), kind_(kind) {
    setAttribute(Qt::WA_InputMethodEnabled, false);
    connect(this, &QLineEdit::textChanged, this, &TNumberEdit::ShowReading);
}

QVariant TNumberEdit::inputMethodQuery(Qt::InputMethodQuery query) const {
    return inputMethodQuery(query, QVariant());
}

QVariant TNumberEdit::inputMethodQuery(Qt::InputMethodQuery query, QVariant argument) const {
    if (query == Qt::ImEnabled) {
        return false;
    }
    return QLineEdit::inputMethodQuery(query, argument);
}

TNumberCombo::TNumberCombo(QWidget* parent) : QComboBox(parent) {}

QVariant TNumberCombo::inputMethodQuery(Qt::InputMethodQuery query) const {
    return inputMethodQuery(query, QVariant());
}

QVariant TNumberCombo::inputMethodQuery(Qt::InputMethodQuery query,
                                        const QVariant& argument) const {
    if (query == Qt::ImEnabled) {
        return false;
    }
    return QComboBox::inputMethodQuery(query, argument);
}

void TNumberEdit::SetHint(const QString& hint) {
    hint_ = hint;
    ShowReading();
}

// Text that OK would read as another value than it shows (full-width digits, a stray letter)
// is marked, and its hint names the value OK will use; any other text looks as it always does.
void TNumberEdit::ShowReading() {
    const std::optional<std::u16string> value = UnreadNumberValue(kind_, text().toStdU16String());
    if (!value) {
        if (marked_) {
            marked_ = false;
            setPalette(hadOwnPalette_ ? normal_ : QPalette());
        }
        setToolTip(hint_);
        return;
    }
    if (!marked_) {
        marked_ = true;
        hadOwnPalette_ = testAttribute(Qt::WA_SetPalette);
        normal_ = palette();
        QPalette pal = normal_;
        pal.setColor(QPalette::Base, kMarkColour);
        setPalette(pal);
    }
    QString tip = QStringLiteral("数値として読めません。ＯＫでは %1 を使います。")
                      .arg(QString::fromStdU16String(*value));
    if (!hint_.isEmpty()) {
        tip += QLatin1Char('\n') + hint_;
    }
    setToolTip(tip);
}
