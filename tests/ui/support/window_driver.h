#pragma once

#include "common_dialog.h"
#include "frm_main.h"

#include <QImage>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

// Finds a control of a window by its name; fails the test when it is missing.
template <typename T> T* control(const QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// Answers the window's file dialogs from a queue and remembers how each was set up.
class DialogAnswers {
public:
    struct Shown {
        CommonDialog::Kind kind;
        QString title, fileName, filter;
    };

    explicit DialogAnswers(frmMain& window);
    void answer(const QString& path) { m_answers.append(path); }
    const QList<Shown>& shown() const { return m_shown; }

private:
    QStringList m_answers;
    QList<Shown> m_shown;
};

// Takes the program's message boxes for the life of the object.
class MessageCatcher {
public:
    MessageCatcher();
    ~MessageCatcher();
    QStringList messages;
    QStringList titles;
};

// A picture with black bars above and below a grey middle, as a DVD screenshot has.
QImage screenshot(int width, int height, QColor middle = QColor(120, 130, 140));
QString saveBitmap(const QTemporaryDir& dir, const QString& name, const QImage& picture);

// Opens a file through "&Open BMP ..." as the user would.
void openBitmap(frmMain& window, DialogAnswers& dialogs, const QString& path);

// Presses and releases a mouse button on the source picture.
void clickPicture(frmMain& window, QPoint position, Qt::MouseButton button = Qt::LeftButton);

QString text(const QWidget& window, const char* name); // a text box's text or label's caption

// A main window whose dialogs are answered and whose messages are caught, with a scratch folder.
struct Session {
    QTemporaryDir dir;
    frmMain window;
    DialogAnswers dialogs{window};
    MessageCatcher messages;

    QString open(const QString& name, const QImage& picture) {
        const QString path = saveBitmap(dir, name, picture);
        openBitmap(window, dialogs, path);
        return path;
    }
    // Two clicks that place all four edges; by default those of the worked example.
    void crop(QPoint topLeft = {7, 71}, QPoint bottomRight = {712, 504}) {
        clickPicture(window, topLeft);
        clickPicture(window, bottomRight);
    }
    QString text(const char* name) const { return ::text(window, name); }
    template <typename T> T* control(const char* name) const { return ::control<T>(window, name); }
};
