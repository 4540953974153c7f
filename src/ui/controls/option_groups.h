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

// The keyboard in option groups: the Tab key stops at each group's selected option; the arrow
// keys move to the next or previous visible option of the same group, round, and select it.
class OptionGroupKeys : public QObject {
public:
    OptionGroupKeys(std::initializer_list<QButtonGroup*> groups, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
