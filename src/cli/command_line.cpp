#include "cli/command_line.h"

#include "engine/job.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>
#include <cstring>

namespace {

const char* const kCommands[] = {"--detect", "--list-titles", "--help", "-h", "--version"};

QTextStream& Out() {
    static QTextStream out(stdout);
    return out;
}

QTextStream& Err() {
    static QTextStream err(stderr);
    return err;
}

int Fail(int status, const QString& message) {
    Err() << "quarvel: " << message << Qt::endl;
    return status;
}

QString ScanTypeName(ScanType type) {
    switch (type) {
    case ScanType::Progressive:
        break;
    case ScanType::Interlaced:
        return QStringLiteral("interlaced");
    case ScanType::HardTelecine:
        return QStringLiteral("hard telecine");
    case ScanType::SoftTelecine:
        return QStringLiteral("soft telecine");
    case ScanType::Mixed:
        return QStringLiteral("mixed");
    }
    return QStringLiteral("progressive");
}

// The encoder lines by tool, from the text Ctrl+Shift+C copies.
QJsonObject ToolLines(const QString& text) {
    const std::pair<const char*, const char*> tools[] = {{"ffmpeg:", "ffmpeg"},
                                                         {"HandBrake:", "handbrake"},
                                                         {"AviSynth:", "avisynth"},
                                                         {"VapourSynth:", "vapoursynth"}};
    QJsonObject lines;
    for (const QString& line : text.split(u'\n'))
        for (const auto& [label, key] : tools)
            if (line.startsWith(QLatin1String(label)))
                lines[QLatin1String(key)] = line.mid(int(std::strlen(label))).trimmed();
    return lines;
}

// A positive whole number, or 0.
int PositiveNumber(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value > 0 ? value : 0;
}

int ListTitles(const QString& path, bool json) {
    VideoProgress progress;
    const Source source = OpenSource(path, progress);
    if (source.outcome != SourceOutcome::Accepted)
        return Fail(kExitUnreadable, RefusalText(source));
    if (json) {
        QJsonArray titles;
        for (const DiscTitle& t : source.titles)
            titles.append(QJsonObject{{"number", t.number},
                                      {"seconds", t.seconds},
                                      {"runningTime", RunningTime(t.seconds)},
                                      {"aspect", t.wide ? "16:9" : "4:3"},
                                      {"angles", t.angles},
                                      {"chapters", t.chapters}});
        Out() << QJsonDocument(QJsonObject{{"source", path},
                                           {"titles", std::max<int>(1, int(source.titles.size()))},
                                           {"main", std::max(1, source.title)},
                                           {"list", titles}})
                     .toJson();
        return kExitDone;
    }
    const int count = int(source.titles.size());
    Out() << (count <= 1 ? QStringLiteral("1 title") : QStringLiteral("%1 titles").arg(count))
          << Qt::endl;
    for (const DiscTitle& t : source.titles)
        Out() << TitleEntry(t) << " \u2013 " << TitleDetails(t)
              << (t.number == source.title ? QStringLiteral(" \u2013 the main title") : QString())
              << Qt::endl;
    return kExitDone;
}

struct DetectOptions {
    QString path;
    int title = kMainTitle;
    SourceAspect aspect = SourceAspect::None; // the stream's
    int pixels = 0;                           // the window's start value
    bool json = false;
};

int Detect(const DetectOptions& options) {
    VideoProgress progress;
    Source opened = OpenSource(options.path, progress, options.title);
    const auto& titles = opened.titles;
    if (options.title != kMainTitle && !titles.empty() &&
        std::none_of(titles.begin(), titles.end(),
                     [&](const DiscTitle& t) { return t.number == options.title; }))
        return Fail(kExitUnreadable,
                    QStringLiteral("This DVD has no title %1: %2.")
                        .arg(options.title)
                        .arg(titles.size() == 1
                                 ? QStringLiteral("its only title is 1")
                                 : QStringLiteral("its titles are 1 to %1").arg(titles.size())));
    if (opened.outcome != SourceOutcome::Accepted)
        return Fail(kExitUnreadable, RefusalText(opened));
    if (options.title != kMainTitle && opened.titles.empty() && options.title != 1)
        return Fail(kExitUnreadable, QStringLiteral("This source holds one title."));

    Job job;
    job.Take(options.path, std::move(opened));
    job.SetShownFrame(job.firstFrame());
    const Source& source = job.source();
    const SourceAspect aspect =
        options.aspect != SourceAspect::None ? options.aspect : job.streamAspect();
    if (aspect == SourceAspect::None)
        return Fail(kExitUsage, QStringLiteral("The source names no display aspect of 4:3 or "
                                               "16:9: give --aspect 4:3 or --aspect 16:9."));
    job.SetAspect(aspect);
    if (options.pixels > 0)
        job.SetTargetPixelCount(options.pixels);

    const BarsFound bars = job.DetectBars();
    const MainWindowState& s = job.state();
    // Without bars every side is open, as Ctrl+D leaves a side without a bar: nothing is cut.
    if (!bars.edges)
        job.SetEdges(
            {0, 0, std::int16_t(s.SourceWidth - 1), std::int16_t(s.SourceHeight - 1), 0xF});
    const auto result = job.Calculate();
    const QString settings = job.EncoderText();
    if (!result || settings.isEmpty())
        return Fail(kExitUnreadable,
                    QStringLiteral("No crop and size can be worked out for these edges."));

    QStringList notes = job.OpenNotes(u'.');
    if (!bars.note.isEmpty())
        notes << bars.note;
    const int frames = int(source.frames.size());
    const int framesUsed = source.video ? bars.framesUsed : 1;

    if (options.json) {
        QJsonObject out{
            {"source", options.path},
            {"title", source.title > 0 ? source.title : 1},
            {"titles", std::max<int>(1, int(source.titles.size()))},
            {"frames", frames},
            {"framesUsed", framesUsed},
            {"width", s.SourceWidth},
            {"height", s.SourceHeight},
            {"edges", QJsonObject{{"left", s.CropLeft},
                                  {"top", s.CropTop},
                                  {"right", s.CropRight},
                                  {"bottom", s.CropBottom}}},
            {"offsets", QJsonObject{{"x1", result->offsetX1},
                                    {"x2", double(result->offsetX2)},
                                    {"y1", result->offsetY1},
                                    {"y2", double(result->offsetY2)}}},
            {"size", QJsonObject{{"width", result->newWidth}, {"height", result->newHeight}}},
            {"aspect", AspectName(aspect)},
            {"pixelCount", result->pixelCount},
            {"scanType", ScanTypeName(source.scan.type)},
            {"topFieldFirst", source.scan.topFieldFirst},
            {"notes", QJsonArray::fromStringList(notes)},
            {"lines", ToolLines(settings)},
            {"copied", settings},
        };
        Out() << QJsonDocument(out).toJson();
        return kExitDone;
    }
    QTextStream& out = Out();
    out << "Source:  " << options.path << '\n';
    if (!source.titles.empty())
        out << "Title:   " << source.title << " of " << source.titles.size() << '\n';
    out << "Frames:  " << frames << ", bars told by " << framesUsed << '\n';
    out << "Edges:   left " << s.CropLeft << ", top " << s.CropTop << ", right " << s.CropRight
        << ", bottom " << s.CropBottom << '\n';
    out << "Offsets: X1 " << result->offsetX1 << ", X2 " << OffsetText(result->offsetX2) << ", Y1 "
        << result->offsetY1 << ", Y2 " << OffsetText(result->offsetY2) << '\n';
    out << "Size:    " << result->newWidth << 'x' << result->newHeight << '\n';
    out << "Aspect:  " << AspectName(aspect) << '\n';
    for (const QString& note : notes)
        out << "Note:    " << note << '\n';
    out << '\n' << settings;
    out.flush();
    return kExitDone;
}

} // namespace

bool WantsCommandLine(int argc, char* argv[]) {
    for (const char* command : kCommands)
        if (argc > 1 && std::strcmp(argv[1], command) == 0)
            return true;
    return false;
}

int RunCommandLine(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quarvel"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Finds the black bars of a picture, a video or a DVD title and prints the "
                       "crop and an output size of square pixels for ffmpeg, HandBrake, AviSynth "
                       "and VapourSynth. Without arguments, the window opens."));
    const QCommandLineOption detect(QStringLiteral("detect"),
                                    QStringLiteral("Work out the crop and size of SOURCE."),
                                    QStringLiteral("SOURCE"));
    const QCommandLineOption list(QStringLiteral("list-titles"),
                                  QStringLiteral("List the titles of the DVD SOURCE."),
                                  QStringLiteral("SOURCE"));
    const QCommandLineOption title(QStringLiteral("title"),
                                   QStringLiteral("Of a DVD, title N rather than the longest."),
                                   QStringLiteral("N"));
    const QCommandLineOption aspect(
        QStringLiteral("aspect"),
        QStringLiteral("The display aspect, 4:3 or 16:9, rather than the stream's."),
        QStringLiteral("RATIO"));
    const QCommandLineOption pixels(QStringLiteral("pixels"),
                                    QStringLiteral("The output's pixel count to aim at (200000)."),
                                    QStringLiteral("N"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print one JSON object."));
    parser.addOptions({detect, list, title, aspect, pixels, json});
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();

    if (!parser.parse(QCoreApplication::arguments()))
        return Fail(kExitUsage, parser.errorText());
    if (parser.isSet(help)) {
        Out() << parser.helpText();
        return kExitDone;
    }
    if (parser.isSet(version)) {
        Out() << "quarvel 1.0" << Qt::endl;
        return kExitDone;
    }
    if (parser.isSet(detect) == parser.isSet(list) || !parser.positionalArguments().isEmpty())
        return Fail(kExitUsage, QStringLiteral("give --detect SOURCE or --list-titles SOURCE "
                                               "(--help shows every option)."));
    if (parser.isSet(list)) {
        if (parser.isSet(title) || parser.isSet(aspect) || parser.isSet(pixels))
            return Fail(kExitUsage, QStringLiteral("--list-titles takes no --title, --aspect or "
                                                   "--pixels."));
        return ListTitles(parser.value(list), parser.isSet(json));
    }

    DetectOptions options;
    options.path = parser.value(detect);
    options.json = parser.isSet(json);
    if (parser.isSet(title) && !(options.title = PositiveNumber(parser.value(title))))
        return Fail(kExitUsage, QStringLiteral("--title takes a title's number, from 1."));
    if (parser.isSet(aspect)) {
        const QString ratio = parser.value(aspect);
        if (ratio != u"4:3" && ratio != u"16:9")
            return Fail(kExitUsage, QStringLiteral("--aspect takes 4:3 or 16:9."));
        options.aspect = ratio == u"4:3" ? SourceAspect::Ratio4x3 : SourceAspect::Ratio16x9;
    }
    if (parser.isSet(pixels) && !(options.pixels = PositiveNumber(parser.value(pixels))))
        return Fail(kExitUsage, QStringLiteral("--pixels takes a positive whole number."));
    return Detect(options);
}
