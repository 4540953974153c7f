#include "ui/controls/option_groups.h"

#include <QButtonGroup>
#include <QEvent>

namespace {

void MoveTabStopToSelected(const QButtonGroup* group) {
    for (QAbstractButton* option : group->buttons())
        option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace

TabStopOnSelected::TabStopOnSelected(std::initializer_list<QButtonGroup*> groups,
                                     QObject* parent)
    : QObject(parent) {
    for (QButtonGroup* group : groups) {
        MoveTabStopToSelected(group);
        connect(group, &QButtonGroup::buttonToggled, this, [group] { MoveTabStopToSelected(group); });
        for (QAbstractButton* option : group->buttons())
            option->installEventFilter(this);
    }
}

bool TabStopOnSelected::eventFilter(QObject* watched, QEvent* event) {
    // Qt moves the stop to an option that takes the focus; it returns once the focus leaves.
    if (event->type() == QEvent::FocusOut)
        if (const QButtonGroup* group = static_cast<QAbstractButton*>(watched)->group())
            MoveTabStopToSelected(group);
    return QObject::eventFilter(watched, event);
}
