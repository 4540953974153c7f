#include "ui/about/frm_help.h"

#include "ui/controls/centre.h"
#include "ui/controls/fonts.h"

frmHelp::frmHelp() {
    // Sizes in pixels, so that the texts fit their places on every screen.
    setFont(UiFont());
    setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    Label1->setFont(UiFont(18, true));
    Label2->setFont(UiFont(13));
    Label3->setFont(UiFont(13, true));
    connect(cmdClose, &QPushButton::clicked, this, &frmHelp::cmdClose_Click);
    Form_Load();
    CentreOnScreen(this);
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
