#include "ui/platform/message_box.h"

#include <QMessageBox>

namespace {
MessageBox::Interceptor& interceptor() {
    static MessageBox::Interceptor instance;
    return instance;
}
} // namespace

void MessageBox::setInterceptor(Interceptor i) {
    interceptor() = std::move(i);
}

void MessageBox::warning(QWidget* parent, const QString& text) {
    const QString title = QStringLiteral("Quarvel");
    if (interceptor()) {
        interceptor()(title, text);
        return;
    }
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.exec();
}
