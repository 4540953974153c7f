// dialog_opens COUNT FOLDER: shows "Open BMP ..."'s file dialog COUNT times in FOLDER, closing it
// once it is up, and prints how much the heap grew from the end of the first show to the end of
// the last.
#include "ui/platform/common_dialog.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <malloc.h>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 101;
    QWidget owner;
    owner.show();
    CommonDialog dialog(&owner);
    dialog.DialogTitle = QStringLiteral("Open Bitmap");
    dialog.Filter = QStringLiteral("Windows Bitmap (*.bmp)|*.bmp");
    dialog.InitDir = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::homePath();
    std::size_t afterFirst = 0;
    for (int i = 0; i < count; ++i) {
        QTimer::singleShot(50, [] {
            if (QWidget* shown = QApplication::activeModalWidget())
                shown->close();
        });
        dialog.ShowOpen();
        if (i == 0)
            afterFirst = mallinfo2().uordblks;
    }
    std::printf("heap growth from show 1 to show %d: %.1f KB\n", count,
                (double(mallinfo2().uordblks) - double(afterFirst)) / 1024);
    return 0;
}
