// Composition: the input method's composition in the text box.
#include "Composition.h"

#include <QComboBox>
#include <QEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>

TComposition::TComposition(QComboBox* box) : QObject(box) {
    // The combo box takes the events while it has the focus and hands them to its edit field
    // directly; the edit field is watched for the times it has the focus itself.
    box->installEventFilter(this);
    if (box->lineEdit() != nullptr) {
        box->lineEdit()->installEventFilter(this);
    }
}

bool TComposition::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::InputMethod:
            SetPreedit(static_cast<QInputMethodEvent*>(event)->preeditString());
            break;
        case QEvent::FocusOut:
            // Qt commits or drops the composition when the box loses the focus.
            SetPreedit({});
            break;
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const bool owned =
                key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
            if (owned && !preedit_.isEmpty()) {
                event->accept();
                return true;
            }
            break;
        }
        default: break;
    }
    return QObject::eventFilter(watched, event);
}

void TComposition::SetPreedit(const QString& preedit) {
    if (preedit == preedit_) {
        return;
    }
    preedit_ = preedit;
    emit Changed();
}
