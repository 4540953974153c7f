#include "frm_help.h"

#include "centre.h"
#include "fonts.h"

#include <QLabel>
#include <QPushButton>

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& place, const QFont& font,
                  const QColor& colour) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(place);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

} // namespace

frmHelp::frmHelp() {
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Quarvel - About"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(411, 207);
    setFont(uiFont());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);

    const QColor darkBlue(0, 0, 128);
    Label1 = makeLabel(this, "Label1", {8, 8, 393, 33}, uiFont(18, true), darkBlue);
    Label2 = makeLabel(this, "Label2", {8, 48, 393, 113}, uiFont(13),
                       palette.color(QPalette::WindowText));
    Label2->setWordWrap(true);
    Label3 = makeLabel(this, "Label3", {8, 168, 305, 33}, uiFont(13, true), darkBlue);
    Label1->setText(QStringLiteral("Label1"));
    Label2->setText(QStringLiteral("Label2"));
    Label3->setText(QStringLiteral("Label3"));

    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setGeometry(328, 176, 73, 23);
    cmdClose->setAutoDefault(false);
    cmdClose->setAccessibleName(QStringLiteral("Close"));
    connect(cmdClose, &QPushButton::clicked, this, &frmHelp::cmdClose_Click);

    Form_Load();
    centreOnScreen(this);
}

void frmHelp::Form_Load() {
    Label1->setText(QStringLiteral("Quarvel 1.0"));
    Label2->setText(QStringLiteral(
        "In most cases DVD and DVB videos are encoded with black bars in the picture. For making "
        "a high quality Mpeg4 video from such a source you have to get rid of those bars. If you "
        "ever had problems finding out what crop and resize settings to use for this, Quarvel is "
        "the tool for you. You only have to mark the actual movie in a DVD screenshot and Quarvel "
        "calculates the settings needed."));
    // Two lines: the makers, then where the project lives.
    Label3->setText(QStringLiteral("Made by the Quarvel developers\n"
                                   "Project home: the Quarvel source repository"));
}

void frmHelp::cmdClose_Click() {
    close();
}
