// Builds the controls of the main window: places in pixels relative to their container.
#include "frm_main.h"

#include "common_dialog.h"
#include "fonts.h"
#include "input_colours.h"
#include "outline.h"
#include "picture_box.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

QString withoutAccessKey(QString caption) {
    return caption.remove(u'&').trimmed();
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& tooltip, int x) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tooltip);
    button->setAccessibleName(withoutAccessKey(caption));
    button->setAutoDefault(false);
    button->setGeometry(x, 592, 97, 25);
    return button;
}

// Auto-size labels take the size of their caption, 13 pixels high.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, int x, int y,
                  const QString& tooltip = {}, QSize fixed = {}) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setToolTip(tooltip);
    label->setTextFormat(Qt::PlainText);
    if (fixed.isValid()) {
        label->setGeometry(x, y, fixed.width(), fixed.height());
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    } else {
        label->move(x, y);
        label->adjustSize();
        label->resize(label->width(), 13);
    }
    return label;
}

// A panel's bold title at its top left; its access key moves the focus to its buddy.
QLabel* makeTitle(QWidget* parent, const char* name, const QString& caption) {
    auto* title = new QLabel(caption, parent);
    title->setObjectName(QLatin1String(name));
    title->setFont(uiFont(11, true));
    title->adjustSize();
    title->resize(title->width(), 13);
    return title;
}

QLineEdit* makeInput(QWidget* parent, const char* name, const QRect& place,
                     const QString& accessibleName) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(place);
    edit->setAccessibleName(accessibleName);
    return edit;
}

// Outputs: read-only (their text can still be selected and copied), centred, bold, coloured.
QLineEdit* makeOutput(QWidget* parent, const char* name, const QRect& place,
                      const QString& accessibleName, const QColor& colour) {
    auto* edit = makeInput(parent, name, place, accessibleName);
    edit->setReadOnly(true);
    edit->setAlignment(Qt::AlignCenter);
    edit->setFont(uiFont(11, true));
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, colour);
    edit->setPalette(palette);
    return edit;
}

// An output label's accessible name is its caption, the value; the description says what it is.
QLabel* makeOutputLabel(QWidget* parent, const char* name, const QString& caption, int x, int y,
                        const QString& description, const QColor& colour, QSize fixed = {}) {
    QLabel* label = makeLabel(parent, name, caption, x, y, {}, fixed);
    label->setAccessibleDescription(description);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

QRadioButton* makeOption(QWidget* parent, const char* name, const QString& caption,
                         const QString& tooltip, const QRect& place, const QString& accessible) {
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(QLatin1String(name));
    option->setToolTip(tooltip);
    option->setAccessibleName(accessible);
    option->setGeometry(place);
    return option;
}

QComboBox* makeList(QWidget* parent, const char* name, const QRect& place,
                    const QString& accessibleName) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    list->setEditable(false);
    list->setGeometry(place);
    list->setAccessibleName(accessibleName);
    return list;
}

QWidget* makeFrame(QWidget* parent, const char* name, const QRect& place,
                   const QString& accessibleName = {}) {
    auto* frame = new QWidget(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setGeometry(place);
    frame->setAccessibleName(accessibleName);
    return frame;
}

void makeLine(QWidget* parent, const char* name, int x1, int x2, int y) {
    (new LineControl(parent, x1, x2, y))->setObjectName(QLatin1String(name));
}

void makeShape(QWidget* parent, const char* name, const QRect& place) {
    (new ShapeControl(parent, place))->setObjectName(QLatin1String(name));
}

} // namespace

void frmMain::createControls() {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quarvel 1.0"));
    setFont(uiFont());
    // Fixed single border: close and minimise only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(953, 626);

    // Created bottom of the stacking order first, so that later controls lie above.
    picDVD = new PictureBox(this);
    picDVD->setObjectName(QStringLiteral("picDVD"));
    picDVD->setGeometry(8, 8, 720, 576);
    picDVD->setBackground(QColor(64, 64, 64));
    picDVD->setAutoSize(true);
    picDVD->hide();

    picDraw = new PictureBox(this);
    picDraw->setObjectName(QStringLiteral("picDraw"));
    picDraw->setGeometry(8, 8, 720, 576);
    picDraw->setBackground(QColor(64, 64, 64));
    picDraw->setCursor(Qt::CrossCursor);
    picDraw->setAccessibleName(QStringLiteral("Source picture"));

    fraCropResize =
        makeFrame(this, "fraCropResize", {736, 8, 209, 289}, QStringLiteral("Crop / Resize"));
    createCropResizePanel();

    CommonDialog1 = new CommonDialog(this);
    CommonDialog1->setObjectName(QStringLiteral("CommonDialog1"));
    CommonDialog1->DialogTitle = QStringLiteral("Open BMP");

    cmdOpenBMP = makeButton(this, "cmdOpenBMP", QStringLiteral("&Open BMP ..."),
                            QStringLiteral("open DVD or DVB screenshot"), 8);
    cmdReset = makeButton(this, "cmdReset", QStringLiteral("&Reset"),
                          QStringLiteral("reset crop/resize and bitrate calculator values"), 344);
    cmdSaveInfo = makeButton(this, "cmdSaveInfo", QStringLiteral("&Save Values ..."),
                             QStringLiteral("save crop/resize values"), 232);
    cmdPreview = makeButton(this, "cmdPreview", QStringLiteral("&Preview"),
                            QStringLiteral("preview target video resolution"), 120);
    cmdQuit =
        makeButton(this, "cmdQuit", QStringLiteral("&Quit"), QStringLiteral("quit Quarvel"), 632);
    fraBitrate = makeFrame(this, "fraBitrate", {736, 312, 209, 305}, QStringLiteral("Bitrate"));
    createBitratePanel();
    cmdHelp = makeButton(this, "cmdHelp", QStringLiteral("&About ..."),
                         QStringLiteral("about Quarvel"), 520);

    picVARN = new PictureBox(this);
    picVARN->setObjectName(QStringLiteral("picVARN"));
    picVARN->setGeometry(8, 8, 721, 577);
    picVARN->setBackground(Qt::black);
    picVARN->setPictureFile(QStringLiteral(":/quarvel/title.gif"), "GIF");
    picVARN->setCursor(Qt::CrossCursor);
    picVARN->setAccessibleName(QStringLiteral("Title picture"));

    setKeyboardOrder();
}

void frmMain::createCropResizePanel() {
    QWidget* panel = fraCropResize;
    makeShape(panel, "Shape1", {0, 16, 209, 273});
    Label1 = makeTitle(panel, "Label1", QStringLiteral("&Crop/Resize Calculator"));

    makeLabel(panel, "lblPixelCount", QStringLiteral("Target pixel count"), 16, 32,
              QStringLiteral("target pixel count of the Mpeg4 video"));
    txtPixelCount =
        makeInput(panel, "txtPixelCount", {16, 48, 89, 21}, QStringLiteral("Target pixel count"));
    Label1->setBuddy(txtPixelCount);
    optStretch43 = makeOption(panel, "optStretch43", QStringLiteral("4:3"),
                              QStringLiteral("DVD aspect ratio 4:3"), {144, 32, 49, 17},
                              QStringLiteral("4:3"));
    optStretch169 = makeOption(panel, "optStretch169", QStringLiteral("16:9"),
                               QStringLiteral("DVD aspect ratio 16:9"), {144, 48, 49, 25},
                               QStringLiteral("16:9"));
    optStretch43->setChecked(true);
    makeLine(panel, "Line1", 8, 200, 82);

    const struct {
        const char* label;
        const char* labelText;
        const char* tip;
        int lx, ly;
        const char* box;
        QRect place;
        QLineEdit** target;
    } offsets[] = {
        {"lblX1", "X1 offset", "left crop value", 16, 99, "txtX1", {64, 96, 33, 21}, &txtX1},
        {"lblX2", "X2 offset", "right crop value", 112, 99, "txtX2", {160, 96, 33, 21}, &txtX2},
        {"lblY1", "Y1 offset", "top crop value", 16, 131, "txtY1", {64, 128, 33, 21}, &txtY1},
        {"lblY2", "Y2 offset", "bottom crop value", 112, 131, "txtY2", {160, 128, 33, 21}, &txtY2},
    };
    for (const auto& o : offsets) {
        makeLabel(panel, o.label, QString::fromLatin1(o.labelText), o.lx, o.ly,
                  QString::fromLatin1(o.tip));
        *o.target = makeOutput(panel, o.box, o.place, QString::fromLatin1(o.labelText), kRed);
    }
    txtY1->setToolTip(QStringLiteral("top crop value"));
    makeLine(panel, "Line2", 8, 200, 162);

    makeLabel(panel, "lblNewWidth", QStringLiteral("New width"), 16, 181,
              QStringLiteral("target video width (multiple of 16)"));
    txtNewWidth =
        makeOutput(panel, "txtNewWidth", {88, 176, 57, 21}, QStringLiteral("New width"), kRed);
    makeLabel(panel, "lblNewHeight", QStringLiteral("New height"), 16, 211,
              QStringLiteral("target video height (multiple of 16)"));
    txtNewHeight =
        makeOutput(panel, "txtNewHeight", {88, 208, 57, 21}, QStringLiteral("New height"), kRed);
    makeLabel(panel, "Label3", QStringLiteral("Aspect ratio"), 16, 240,
              QStringLiteral("target video aspect ratio"));
    makeLabel(panel, "Label4", QStringLiteral("Pixel count"), 104, 240,
              QStringLiteral("target video pixel count"));
    lblNewAR = makeOutputLabel(panel, "lblNewAR", QStringLiteral("NewAR"), 16, 256,
                               QStringLiteral("Aspect ratio"), kRed);
    lblNewPixel = makeOutputLabel(panel, "lblNewPixel", QStringLiteral("NewPixel"), 104, 256,
                                  QStringLiteral("Pixel count"), kRed);
}

void frmMain::createBitratePanel() {
    QWidget* panel = fraBitrate;
    makeShape(panel, "Shape2", {0, 16, 209, 289});
    Label2 = makeTitle(panel, "Label2", QStringLiteral("&Bitrate Calculator"));

    makeLabel(panel, "Label14", QStringLiteral("Calculate"), 16, 33, {}, {49, 17});
    optCalcBitrate = makeOption(panel, "optCalcBitrate", QStringLiteral("bitrate"),
                                QStringLiteral("calculate bitrate of Mpeg4 video"),
                                {80, 32, 57, 17}, QStringLiteral("Calculate bitrate"));
    optCalcDiskspace = makeOption(panel, "optCalcDiskspace", QStringLiteral("filesize"),
                                  QStringLiteral("calculate filesize of Mpeg4 video"),
                                  {144, 32, 57, 17}, QStringLiteral("Calculate filesize"));
    optCalcBitrate->setChecked(true);
    Label2->setBuddy(optCalcBitrate);
    makeLine(panel, "Line3", 8, 200, 58);

    makeLabel(panel, "Label5", QStringLiteral("Video length [min.]"), 16, 75,
              QStringLiteral("video length in minutes"));
    txtVideoLength = makeInput(panel, "txtVideoLength", {136, 72, 57, 21},
                               QStringLiteral("Video length [min.]"));
    QLabel* countLabel = makeLabel(panel, "Label6", QStringLiteral("Audio stream count"), 16, 107,
                                   QStringLiteral("number of audio streams"));
    cmbAudioCount =
        makeList(panel, "cmbAudioCount", {136, 104, 57, 21}, QStringLiteral("Audio stream count"));
    QLabel* bitrateLabel = makeLabel(panel, "Label7", QStringLiteral("Audio bitrate [kbps]"), 16,
                                     131, QStringLiteral("bitrate per audio stream in kbit/s"));
    cmbAudioBitrate = makeList(panel, "cmbAudioBitrate", {136, 128, 57, 21},
                               QStringLiteral("Audio bitrate [kbps]"));
    // Screen readers name a list by its entry; the buddy tells them which label belongs to it.
    countLabel->setBuddy(cmbAudioCount);
    bitrateLabel->setBuddy(cmbAudioBitrate);
    makeLine(panel, "Line4", 8, 200, 162);

    fraCalcBitrate = makeFrame(panel, "fraCalcBitrate", {8, 168, 193, 129});
    {
        QWidget* f = fraCalcBitrate;
        optSpaceCD = makeOption(f, "optSpaceCD", QStringLiteral("         CD(s) à"),
                                QStringLiteral("type in number and size of CDs"), {8, 11, 89, 17},
                                QStringLiteral("CD(s) à"));
        // Lies over the blank start of the option's caption.
        txtSpaceCDCount =
            makeInput(f, "txtSpaceCDCount", {24, 8, 25, 21}, QStringLiteral("Number of CDs"));
        txtSpaceCDCount->setText(QStringLiteral("1"));
        cmbSpaceCD = makeList(f, "cmbSpaceCD", {96, 8, 49, 21}, QStringLiteral("CD size [MB]"));
        makeLabel(f, "Label17", QStringLiteral("MB"), 152, 11);
        optSpaceCustom = makeOption(f, "optSpaceCustom", QStringLiteral("Custom:"),
                                    QStringLiteral("type in custom value"), {8, 43, 65, 17},
                                    QStringLiteral("Custom:"));
        txtSpaceCustom =
            makeInput(f, "txtSpaceCustom", {96, 40, 49, 21}, QStringLiteral("Custom size [MB]"));
        makeLabel(f, "Label8", QStringLiteral("MB"), 152, 43);
        makeLine(f, "Line5", 0, 192, 74);
        makeLabel(f, "Label9", QStringLiteral("Bitrate"), 8, 91,
                  QStringLiteral("target video bitrate"));
        txtTargetBitrate =
            makeOutput(f, "txtTargetBitrate", {64, 88, 57, 21}, QStringLiteral("Bitrate"), kBlue);
        makeLabel(f, "Label10", QStringLiteral("kbps"), 128, 91);
        optSpaceCD->setChecked(true);
        setInputBackground(txtSpaceCDCount, Qt::white);
        setInputBackground(cmbSpaceCD, Qt::white);
        txtSpaceCustom->setEnabled(false);
        setInputBackground(txtSpaceCustom, buttonFace());
    }

    fraCalcDiskspace = makeFrame(panel, "fraCalcDiskspace", {8, 168, 193, 129});
    {
        QWidget* f = fraCalcDiskspace;
        makeLabel(f, "Label11", QStringLiteral("Video bitrate [kbps]"), 8, 11,
                  QStringLiteral("video stream bitrate in kbit/s"));
        txtBitrate =
            makeInput(f, "txtBitrate", {128, 8, 57, 21}, QStringLiteral("Video bitrate [kbps]"));
        makeLine(f, "Line6", 0, 192, 42);
        makeLabel(f, "Label12", QStringLiteral("Filesize"), 8, 59,
                  QStringLiteral("target video filesize"), {57, 17});
        txtDiskspace =
            makeOutput(f, "txtDiskspace", {80, 56, 57, 21}, QStringLiteral("Filesize"), kBlue);
        makeLabel(f, "Label13", QStringLiteral("MB"), 144, 59);
        makeLabel(f, "Label15", QStringLiteral("CDs needed"), 8, 88,
                  QStringLiteral("splitting suggestion"), {65, 17});
        lblNeededCDs = makeOutputLabel(f, "lblNeededCDs", QStringLiteral("NeededCDs"), 80, 88,
                                       QStringLiteral("CDs needed"), kBlue, {113, 17});
    }
    fraCalcDiskspace->hide();
}

void frmMain::setKeyboardOrder() {
    const QList<QWidget*> order = {
        cmdOpenBMP,
        cmdPreview,
        cmdSaveInfo,
        cmdReset,
        cmdHelp,
        cmdQuit,
        txtPixelCount,
        optStretch43,
        optStretch169,
        txtX1,
        txtY1,
        txtX2,
        txtY2,
        txtNewWidth,
        txtNewHeight,
        optCalcBitrate,
        optCalcDiskspace,
        txtVideoLength,
        cmbAudioCount,
        cmbAudioBitrate,
        optSpaceCD,
        txtSpaceCDCount,
        cmbSpaceCD,
        optSpaceCustom,
        txtSpaceCustom,
        txtTargetBitrate,
        txtBitrate,
        txtDiskspace,
    };
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    for (PictureBox* box : {picVARN, picDraw, picDVD})
        box->setFocusPolicy(Qt::NoFocus);
}
