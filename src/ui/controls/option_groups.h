#pragma once

#include <QAbstractButton>
#include <QObject>
#include <initializer_list>
#include <memory>

class QButtonGroup;

// Runs an option's click handler when the user clicks the option, also when it is already
// selected, and when the program selects it; once for each click.
template <typename Window>
void ConnectOptionClick(QAbstractButton* option, Window* window, void (Window::*handler)()) {
    auto selectedByThisClick = std::make_shared<bool>(false);
    QObject::connect(option, &QAbstractButton::pressed, window,
                     [selectedByThisClick] { *selectedByThisClick = false; });
    QObject::connect(option, &QAbstractButton::toggled, window,
                     [window, handler, selectedByThisClick](bool checked) {
                         if (!checked)
                             return;
                         *selectedByThisClick = true;
                         (window->*handler)();
                     });
    QObject::connect(option, &QAbstractButton::clicked, window,
                     [window, handler, selectedByThisClick] {
                         if (!*selectedByThisClick)
                             (window->*handler)();
                         *selectedByThisClick = false;
                     });
}

// Keeps the Tab key's stop in each option group on its selected option, as the focus leaves
// the group or the selection changes.
class TabStopOnSelected : public QObject {
public:
    TabStopOnSelected(std::initializer_list<QButtonGroup*> groups, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
