// Crop edges placed by mouse, the resize calculation and the crop frames.
#include "ui/main/frm_main.h"

#include "state/crop_resize.h"
#include "state/encoder_settings.h"
#include "state/number_text.h"
#include "ui/controls/option_groups.h"
#include "ui/controls/raster_line.h"
#include "ui/controls/single_line.h"

#include <QLocale>

#include <algorithm>

namespace {

std::int16_t RoundedPosition(float position) {
    return static_cast<std::int16_t>(RoundHalfEven(position));
}

// Shortest text of a single-precision value; whole values come out as plain digits.
QString FloatText(float value) {
    return QString::number(value, 'g', 9);
}

} // namespace

void frmMain::ConnectCropHandlers() {
    connect(picDraw, &PictureBox::mouseDown, this, &frmMain::picDraw_MouseDown);
    connect(picDraw, &PictureBox::mouseUp, this, &frmMain::picDraw_MouseUp);
    connect(picDraw, &PictureBox::arrowPressed, this, &frmMain::picDraw_KeyDown);
    ConnectOptionClick(optStretch43, this, &frmMain::optStretch43_Click);
    ConnectOptionClick(optStretch169, this, &frmMain::optStretch169_Click);
    connect(txtPixelCount, &QLineEdit::textChanged, this, &frmMain::txtPixelCount_Change);
}

void frmMain::picDraw_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, QPointF pos) {
    if (!m_state.BitmapLoaded)
        return;
    const auto x = static_cast<float>(pos.x());
    const auto y = static_cast<float>(pos.y());
    if (x > m_state.SourceWidth || y > m_state.SourceHeight)
        return;
    m_lastVertical = x <= static_cast<float>(m_state.SourceWidth) / 2 ? &MainWindowState::CropLeft
                                                                      : &MainWindowState::CropRight;
    m_lastHorizontal = y <= static_cast<float>(m_state.SourceHeight) / 2
                           ? &MainWindowState::CropTop
                           : &MainWindowState::CropBottom;
    m_state.*m_lastVertical = RoundedPosition(x);
    m_state.*m_lastHorizontal = RoundedPosition(y);
}

void frmMain::picDraw_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, QPointF) {
    CalculateCropResize();
}

void frmMain::picDraw_KeyDown(int columns, int lines) {
    if (!m_state.BitmapLoaded) {
        ShowNote(QStringLiteral("Open a picture or a video first."));
        return;
    }
    const auto edge = columns != 0 ? m_lastVertical : m_lastHorizontal;
    if (!edge) {
        ShowNote(QStringLiteral("Click an edge first; the arrow keys then move it by one line."));
        return;
    }
    // An edge stays on the picture: its last column or line at most.
    const int last = (columns != 0 ? m_state.SourceWidth : m_state.SourceHeight) - 1;
    const int moved = std::clamp(m_state.*edge + columns + lines, 0, last);
    const QString name = edge == &MainWindowState::CropLeft    ? QStringLiteral("Left edge")
                         : edge == &MainWindowState::CropRight ? QStringLiteral("Right edge")
                         : edge == &MainWindowState::CropTop   ? QStringLiteral("Top edge")
                                                               : QStringLiteral("Bottom edge");
    if (moved == m_state.*edge) {
        ShowNote(name + QStringLiteral(" is at the picture's border."));
        return;
    }
    m_state.*edge = std::int16_t(moved);
    ShowNote(QStringLiteral("%1 on %2 %3.")
                 .arg(name, columns != 0 ? QStringLiteral("column") : QStringLiteral("line"))
                 .arg(moved));
    CalculateCropResize();
}

void frmMain::optStretch169_Click() {
    CalculateCropResize();
}
void frmMain::optStretch43_Click() {
    CalculateCropResize();
}

void frmMain::txtPixelCount_Change() {
    const auto value = TypedInputValue(txtPixelCount->text(), QLocale().decimalPoint().at(0));
    if (!value)
        return;
    m_state.TargetPixelCount = *value;
    CalculateCropResize();
}

bool frmMain::CropReady() const {
    return m_state.BitmapLoaded && m_state.CropLeft >= 0 && m_state.CropRight >= 0 &&
           m_state.CropTop >= 0 && m_state.CropBottom >= 0 && m_state.TargetPixelCount > 0;
}

CropResizeInput frmMain::CropInput() const {
    CropResizeInput input;
    input.cropLeft = m_state.CropLeft;
    input.cropTop = m_state.CropTop;
    input.cropRight = m_state.CropRight;
    input.cropBottom = m_state.CropBottom;
    input.pictureWidth = m_state.SourceWidth;
    input.pictureHeight = m_state.SourceHeight;
    input.aspect = optStretch43->isChecked()    ? SourceAspect::Ratio4x3
                   : optStretch169->isChecked() ? SourceAspect::Ratio16x9
                                                : SourceAspect::None;
    input.targetPixelCount = m_state.TargetPixelCount;
    return input;
}

void frmMain::ClearCropOutputs(const QString& sizeText) {
    for (QLineEdit* offset : {txtX1, txtX2, txtY1, txtY2})
        ShowText(offset, QStringLiteral("0"));
    ShowText(txtNewWidth, sizeText);
    ShowText(txtNewHeight, sizeText);
    for (QLabel* caption : {lblNewAR, lblNewPixel}) {
        caption->clear();
        caption->setToolTip(QString());
    }
}

void frmMain::CalculateCropResize() {
    if (!CropReady())
        return;
    const CropResizeInput input = CropInput();
    const auto result = CalculateCropResizeValues(input);
    if (!result) {
        cmdPreview->setEnabled(false);
        cmdSaveInfo->setEnabled(false);
        ClearCropOutputs(QStringLiteral("ERROR"));
        return;
    }

    m_state.FinalCropLeft = result->finalCropLeft;
    m_state.FinalCropRight = result->finalCropRight;
    txtX1->setText(QString::number(result->offsetX1));
    txtX2->setText(FloatText(result->offsetX2));
    txtY1->setText(QString::number(result->offsetY1));
    txtY2->setText(FloatText(result->offsetY2));
    txtNewWidth->setText(QString::number(result->newWidth));
    txtNewHeight->setText(QString::number(result->newHeight));
    lblNewAR->setText(FormatTwoDecimals(result->newAspect, QLocale().decimalPoint().at(0)) +
                      QStringLiteral(":1"));
    lblNewPixel->setText(QString::number(result->pixelCount));
    const QString aspectError = AspectErrorText(input, *result, QLocale().decimalPoint().at(0));
    for (QLabel* caption : {lblNewAR, lblNewPixel}) {
        caption->adjustSize();
        caption->setToolTip(aspectError);
    }

    picDraw->clearDrawing();
    constexpr std::uint32_t grey = 160 | (160 << 8) | (160 << 16);
    DrawCropFrame(m_state.CropLeft, m_state.CropTop, m_state.CropRight, m_state.CropBottom, 14, 2,
                  grey);
    DrawCropFrame(m_state.FinalCropLeft, m_state.CropTop, m_state.FinalCropRight,
                  m_state.CropBottom, 14, 0, grey);
    cmdPreview->setEnabled(true);
    cmdSaveInfo->setEnabled(true);
}

void frmMain::DrawCropFrame(std::int16_t left, std::int16_t top, std::int16_t right,
                            std::int16_t bottom, std::int16_t drawMode, std::int16_t drawStyle,
                            std::uint32_t colour) {
    const RasterPen pen{colour, drawMode, drawStyle};
    // Edges are source lines; a frame scaled to fit shows them at their scaled places.
    const auto at = [this](std::int16_t coordinate) {
        return std::int16_t(picDraw->shownAt(coordinate));
    };
    left = at(left), top = at(top), right = at(right), bottom = at(bottom);
    QImage& canvas = picDraw->canvas();
    DrawRasterLine(canvas, {left, top}, {right, top}, pen);
    DrawRasterLine(canvas, {left, bottom}, {right, bottom}, pen);
    DrawRasterLine(canvas, {left, top}, {left, bottom}, pen);
    DrawRasterLine(canvas, {right, top}, {right, bottom}, pen);
    picDraw->update();
}
