// The yardstick for Quarvel's start-up and memory: a plain Qt window of the same size and flags
// with the same kinds and numbers of controls, texts in them in the same fonts, and no picture.
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Reference"));
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);
    window.setFixedSize(953, 626);
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(11);
    window.setFont(font);
    font.setBold(true);
    QWidget* panels[] = {new QWidget(&window), new QWidget(&window)};
    panels[0]->setGeometry(736, 8, 209, 289);
    panels[1]->setGeometry(736, 312, 209, 305);
    QWidget* inner[] = {new QWidget(panels[1]), new QWidget(panels[1])};
    for (QWidget* frame : inner)
        frame->setGeometry(8, 168, 193, 129);
    inner[1]->hide();
    // Two panel titles and eight of the text boxes are bold, as Quarvel's.
    for (int i = 0; i < 26; ++i) {
        auto* label = new QLabel(QStringLiteral("Label %1").arg(i), panels[i % 2]);
        label->move(8, 20 + i * 10);
        if (i < 2)
            label->setFont(font);
    }
    for (int i = 0; i < 13; ++i) {
        auto* box = new QLineEdit(QString::number(i * 100), panels[i % 2]);
        box->setGeometry(120, 20 + i * 20, 57, 21);
        if (i < 8)
            box->setFont(font);
    }
    for (int i = 0; i < 6; ++i)
        (new QPushButton(QStringLiteral("&Button %1").arg(i), &window))
            ->setGeometry(8 + i * 112, 592, 97, 25);
    for (int i = 0; i < 6; ++i)
        (new QRadioButton(QStringLiteral("option %1").arg(i), i < 4 ? panels[i % 2] : inner[0]))
            ->move(150, 20 + i * 18);
    for (int i = 0; i < 3; ++i) {
        auto* list = new QComboBox(i < 2 ? panels[1] : inner[0]);
        list->addItems({QStringLiteral("650"), QStringLiteral("700")});
        list->setGeometry(136, 104 + i * 24, 57, 21);
    }
    for (int i = 0; i < 8; ++i) {
        auto* line = new QFrame(i < 4 ? panels[i % 2] : inner[i % 2]);
        line->setFrameShape(i < 2 ? QFrame::Box : QFrame::HLine);
        line->setGeometry(0, 16 + i * 30, 193, i < 2 ? 200 : 1);
    }
    window.show();
    return QApplication::exec();
}
