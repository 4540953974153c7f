#include "window_driver.h"

#include "message_box.h"
#include "picture_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

DialogAnswers::DialogAnswers(frmMain& window) {
    control<CommonDialog>(window, "CommonDialog1")
        ->setResponder([this](const CommonDialog& dialog, CommonDialog::Kind kind) {
            m_shown.append({kind, dialog.DialogTitle, dialog.FileName, dialog.Filter});
            return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
        });
}

MessageCatcher::MessageCatcher() {
    MessageBox::setInterceptor([this](const QString& title, const QString& text) {
        titles.append(title);
        messages.append(text);
    });
}

MessageCatcher::~MessageCatcher() {
    MessageBox::setInterceptor({});
}

QImage screenshot(int width, int height, QColor middle) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.fillRect(8, height / 8, width - 16, height * 3 / 4, middle);
    return picture;
}

QString saveBitmap(const QTemporaryDir& dir, const QString& name, const QImage& picture) {
    const QString path = dir.filePath(name);
    if (!picture.save(path, "BMP"))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void openBitmap(frmMain& window, DialogAnswers& dialogs, const QString& path) {
    dialogs.answer(path);
    control<QPushButton>(window, "cmdOpenBMP")->click();
}

void clickPicture(frmMain& window, QPoint position, Qt::MouseButton button) {
    auto* picture = control<PictureBox>(window, "picDraw");
    QTest::mousePress(picture, button, {}, position);
    QTest::mouseRelease(picture, button, {}, position);
}

QString text(const QWidget& window, const char* name) {
    QWidget* widget = control<QWidget>(window, name);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    qFatal("%s has no text", name);
}
