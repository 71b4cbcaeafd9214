// Composition: what an input method is composing in the text box, and the keys it owns.
#pragma once

#include <QObject>
#include <QString>

class QComboBox;

// Follows the composition (preedit) in an editable combo box. While a composition is open,
// Enter and Escape belong to it: the input method commits or cancels with them, and they
// never reach the dialog's OK or Cancel, even where the input method lets them through.
class TComposition : public QObject {
    Q_OBJECT

public:
    explicit TComposition(QComboBox* box);

    // The text being composed, empty when nothing is.
    const QString& Preedit() const { return preedit_; }

signals:
    // The composition changed; the box has taken the event when the signal is delivered
    // queued.
    void Changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetPreedit(const QString& preedit);

    QString preedit_;
};
