// DialogKeys: TForm1's keyboard and wheel conventions, those of a Windows dialog that Qt does
// not follow by itself: the arrow keys within an option group, one tab stop per group, Alt+P
// where the focus is, and the wheel over drop-down lists.
#include "Unit1.h"

#include <algorithm>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>

// Windows dialog conventions that Qt does not follow by itself.
void TForm1::InstallInputConventions() {
    // Alt+P opens and closes the preview where the focus is, as a dialog button's access key
    // does, so that typing goes on in the same box.
    Button3->installEventFilter(this);
    // The arrow keys move and tick within an option group.
    for (QButtonGroup* group : {RadioGroup1Items, RadioGroup2Items}) {
        for (QAbstractButton* b : group->buttons()) {
            b->installEventFilter(this);
        }
    }
    for (const TPresetRowControls& row : PresetRows) {
        row.RB->installEventFilter(this);
    }
    // The wheel never changes a list that is not being edited, and does not give it focus.
    for (QComboBox* combo : findChildren<QComboBox*>()) {
        combo->setFocusPolicy(Qt::StrongFocus);
        combo->installEventFilter(this);
    }
    // A control reached by the keyboard inside the scroll box is scrolled into view.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && Panel3->isAncestorOf(now)) {
            ScrollBox2->ensureWidgetVisible(now);
        }
    });
}

// The options an option belongs to, in their order: a radio group's, or the preset rows'.
std::vector<QAbstractButton*> TForm1::OptionGroup(const QObject* option) const {
    for (const QButtonGroup* group : {RadioGroup1Items, RadioGroup2Items}) {
        const QList<QAbstractButton*> buttons = group->buttons();
        if (std::find(buttons.begin(), buttons.end(), option) != buttons.end()) {
            return {buttons.begin(), buttons.end()};
        }
    }
    std::vector<QAbstractButton*> rows;
    for (const TPresetRowControls& row : PresetRows) {
        rows.push_back(row.RB);
    }
    if (std::find(rows.begin(), rows.end(), option) != rows.end()) {
        return rows;
    }
    return {};
}

// Moves the focus to the next usable option of the group in the given direction, round the
// end, and ticks it as a click would.
bool TForm1::MoveInOptionGroup(QAbstractButton* from, int step) {
    const std::vector<QAbstractButton*> group = OptionGroup(from);
    const auto at = std::find(group.begin(), group.end(), from);
    if (at == group.end()) {
        return false;
    }
    const int count = static_cast<int>(group.size());
    int i = static_cast<int>(at - group.begin());
    for (int tries = 1; tries < count; ++tries) {
        i = (i + step + count) % count;
        QAbstractButton* b = group[static_cast<size_t>(i)];
        if (b->isEnabled() && b->isVisibleTo(this)) {
            b->setFocus(Qt::OtherFocusReason);
            b->click();
            return true;
        }
    }
    return true;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Button3 && event->type() == QEvent::Shortcut) {
        Button3Click();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        auto* option = qobject_cast<QAbstractButton*>(watched);
        if (option != nullptr && mods == Qt::NoModifier) {
            switch (key->key()) {
                case Qt::Key_Up:
                case Qt::Key_Left: return MoveInOptionGroup(option, -1);
                case Qt::Key_Down:
                case Qt::Key_Right: return MoveInOptionGroup(option, 1);
                default: break;
            }
        }
    } else if (event->type() == QEvent::Wheel) {
        auto* combo = qobject_cast<QComboBox*>(watched);
        if (combo != nullptr && !combo->hasFocus()) {
            // Over a list in the scroll box the wheel scrolls the box; elsewhere it does
            // nothing.
            if (Panel3->isAncestorOf(combo)) {
                QCoreApplication::sendEvent(ScrollBox2->verticalScrollBar(), event);
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TForm1::focusNextPrevChild(bool next) {
    QWidget* from = focusWidget();
    if (from == nullptr) {
        return QDialog::focusNextPrevChild(next);
    }
    // The groups with one tab stop; each preset row's button is a stop of its own, since
    // the row's other controls lie between them.
    const auto tabGroup = [this](QWidget* w) -> const QButtonGroup* {
        auto* option = qobject_cast<QAbstractButton*>(w);
        for (const QButtonGroup* group : {RadioGroup1Items, RadioGroup2Items}) {
            if (option != nullptr && group->buttons().contains(option)) {
                return group;
            }
        }
        return nullptr;
    };
    const QButtonGroup* fromGroup = tabGroup(from);
    QWidget* w = from;
    for (int guard = 0; guard < 10000; ++guard) {
        w = next ? w->nextInFocusChain() : w->previousInFocusChain();
        if (w == from) {
            break;
        }
        // Qt takes the tab stop from the unticked options of a group that holds the focus;
        // here the groups decide for themselves, below.
        const bool option = qobject_cast<QRadioButton*>(w) != nullptr;
        if (!(option || (w->focusPolicy() & Qt::TabFocus)) || !w->isEnabled() ||
            !w->isVisibleTo(this) || w->focusProxy() != nullptr || !isAncestorOf(w)) {
            continue;
        }
        if (const QButtonGroup* group = tabGroup(w)) {
            // The ticked option stands for its group, or the first one when none is ticked.
            QAbstractButton* stop = group->checkedButton();
            if (stop == nullptr || !stop->isEnabled()) {
                stop = group->buttons().value(0);
            }
            if (group == fromGroup || w != stop) {
                continue;
            }
        }
        w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    return false;
}
