#include "ui/controls/option_groups.h"

#include <QButtonGroup>
#include <QEvent>
#include <QKeyEvent>

namespace {

void MoveTabStopToSelected(const QButtonGroup* group) {
    for (QAbstractButton* option : group->buttons())
        option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

void SelectNeighbour(QAbstractButton* option, int step) {
    const QList<QAbstractButton*> options = option->group()->buttons();
    for (qsizetype i = options.indexOf(option), n = 1; n < options.size(); ++n) {
        QAbstractButton* next = options[(i + n * step + options.size()) % options.size()];
        if (next->isVisible() && next->isEnabled()) {
            next->setFocus(Qt::TabFocusReason);
            next->click();
            return;
        }
    }
}

} // namespace

OptionGroupKeys::OptionGroupKeys(std::initializer_list<QButtonGroup*> groups, QObject* parent)
    : QObject(parent) {
    for (QButtonGroup* group : groups) {
        MoveTabStopToSelected(group);
        connect(group, &QButtonGroup::buttonToggled, this,
                [group] { MoveTabStopToSelected(group); });
        for (QAbstractButton* option : group->buttons())
            option->installEventFilter(this);
    }
}

bool OptionGroupKeys::eventFilter(QObject* watched, QEvent* event) {
    // A button being destroyed is no button any more when it loses the focus.
    auto* option = qobject_cast<QAbstractButton*>(watched);
    if (!option || !option->group())
        return false;
    if (event->type() == QEvent::FocusOut) {
        // Qt moves the stop to an option that takes the focus; it returns once the focus leaves.
        MoveTabStopToSelected(option->group());
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int step = key == Qt::Key_Down || key == Qt::Key_Right ? 1
                         : key == Qt::Key_Up || key == Qt::Key_Left  ? -1
                                                                     : 0;
        if (step != 0) {
            SelectNeighbour(option, step);
            return true;
        }
    }
    return false;
}
