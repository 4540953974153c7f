#include "source_bitmap.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>

// Replays the malformed-picture corpus (made by make_bitmap_corpus.py) through the loader that
// "Open BMP ..." uses. Each file's name starts with the outcome it must get.
class SourceBitmapTest : public QObject {
    Q_OBJECT
private slots:
    void corpus_data();
    void corpus();
};

void SourceBitmapTest::corpus_data() {
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(QUARVEL_BITMAP_CORPUS));
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    QVERIFY(names.size() >= 40);
    for (const QString& name : names)
        QTest::newRow(qPrintable(name)) << dir.filePath(name);
}

void SourceBitmapTest::corpus() {
    QFETCH(QString, path);
    const QString name = QFileInfo(path).fileName();
    const SourceBitmapOutcome expected = name.startsWith("accepted") ? SourceBitmapOutcome::Accepted
                                         : name.startsWith("toolarge")
                                             ? SourceBitmapOutcome::TooLarge
                                             : SourceBitmapOutcome::Invalid;
    const SourceBitmap result = LoadSourceBitmap(path);
    QCOMPARE(int(result.outcome), int(expected));
    QCOMPARE(result.picture.isNull(), expected != SourceBitmapOutcome::Accepted);
    if (!result.picture.isNull()) {
        QVERIFY(result.picture.width() <= 720);
        QVERIFY(result.picture.height() <= 576);
    }
}

QTEST_MAIN(SourceBitmapTest)
#include "source_bitmap_test.moc"
