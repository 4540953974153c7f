#pragma once

#include <QString>
#include <functional>

class QWidget;

// The program's one kind of message: modal, warning icon, a single OK button, titled "Quarvel".
class MessageBox {
public:
    static void warning(QWidget* parent, const QString& text);

    // Lets tests take the message instead of a modal box; an empty function restores the box.
    using Interceptor = std::function<void(const QString& title, const QString& text)>;
    static void setInterceptor(Interceptor interceptor);
};
