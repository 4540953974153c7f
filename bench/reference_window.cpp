// The yardstick for Quarvel's start-up and memory: the main window's own form, with its real
// texts, tooltips and full lists in the window's font, but no logic, no title picture and no
// window icon.
#include "ui/controls/fonts.h"
#include "ui_frm_main.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFont(UiFont());
    Ui::frmMain form;
    form.setupUi(&window);
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);
    form.picVARN->hide();
    form.fraCalcDiskspace->hide();
    form.cmbAudioBitrate->addItems(
        {"32", "48", "64", "80", "96", "112", "128", "160", "192", "224", "256", "320"});
    form.cmbAudioBitrate->setCurrentIndex(6);
    form.cmbAudioCount->addItems({"0", "1", "2", "3", "4"});
    form.cmbAudioCount->setCurrentIndex(1);
    form.cmbSpaceCD->addItems({"650", "700", "800", "900"});
    form.cmbSpaceCD->setCurrentIndex(1);
    form.txtTargetBitrate->setText(QStringLiteral("959"));
    window.show();
    return QApplication::exec();
}
