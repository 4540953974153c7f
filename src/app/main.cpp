#include "cli/command_line.h"
#include "source/source.h"
#include "ui/controls/picture_file.h"
#include "ui/main/frm_main.h"

#include <QApplication>
#include <QIcon>
#include <QThreadPool>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    // Scripts get the same results without a display.
    if (WantsCommandLine(argc, argv))
        return RunCommandLine(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quarvel"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // The sizes of title bars and task switchers; docks and menus take the larger ones from the
    // installed icon theme.
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addPixmap(QPixmap::fromImage(
            ReadPictureFile(QStringLiteral(":/quarvel/icons/quarvel-%1.png").arg(size), "png")));
    QApplication::setWindowIcon(icon);

    const int code = [] {
        frmMain window;
        window.show();
        return QApplication::exec();
    }();
    // A read blocked in the system would hold the program's end for as long as it blocks.
    if (ReadsRunning() > 0) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    // The pooled threads that read and searched end here rather than during the static
    // destructors.
    QThreadPool::globalInstance()->waitForDone();
    return code;
}
