#pragma once

// A PAL 16:9 DVD authored by dvdauthor at `dest`: one title set, a title of each lavfi graph, in
// order, with a key frame every five frames.
#include <QFile>
#include <QProcess>
#include <QStringList>

inline bool AuthorDvd(const QString& dest, const QStringList& graphs) {
    QString chains;
    for (int t = 0; t < graphs.size(); ++t) {
        const QString clip = dest + QStringLiteral("-%1.mpg").arg(t);
        QProcess::execute("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i", graphs[t], "-target",
                                     "pal-dvd", "-g", "5", "-aspect", "16:9", "-an", clip});
        chains += QStringLiteral("<pgc><vob file=\"%1\"/></pgc>").arg(clip);
    }
    QFile xml(dest + QStringLiteral(".xml"));
    if (!xml.open(QIODevice::WriteOnly))
        return false;
    xml.write(QStringLiteral("<dvdauthor dest=\"%1\"><vmgm/><titleset><titles>%2</titles>"
                             "</titleset></dvdauthor>")
                  .arg(dest, chains)
                  .toUtf8());
    xml.close();
    QProcess author;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VIDEO_FORMAT"), QStringLiteral("PAL"));
    author.setProcessEnvironment(env);
    author.start(QStringLiteral("dvdauthor"), {"-x", xml.fileName()});
    return author.waitForFinished() && author.exitCode() == 0;
}
