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

void frmMain::ConnectCropHandlers() {
    connect(picDraw, &PictureBox::mouseDown, this, &frmMain::picDraw_MouseDown);
    connect(picDraw, &PictureBox::mouseUp, this, &frmMain::picDraw_MouseUp);
    connect(picDraw, &PictureBox::arrowPressed, this, &frmMain::picDraw_KeyDown);
    ConnectOptionClick(optStretch43, this, &frmMain::optStretch43_Click);
    ConnectOptionClick(optStretch169, this, &frmMain::optStretch169_Click);
    connect(txtPixelCount, &QLineEdit::textChanged, this, &frmMain::txtPixelCount_Change);
    // The form selects one at start.
    m_job.SetAspect(optStretch169->isChecked()  ? SourceAspect::Ratio16x9
                    : optStretch43->isChecked() ? SourceAspect::Ratio4x3
                                                : SourceAspect::None);
}

void frmMain::picDraw_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, QPointF pos) {
    m_job.PlaceEdges(static_cast<float>(pos.x()), static_cast<float>(pos.y()));
}

void frmMain::picDraw_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, QPointF) {
    CalculateCropResize();
}

void frmMain::picDraw_KeyDown(int columns, int lines) {
    const Job::EdgeMoved edge = m_job.MoveEdge(columns, lines);
    ShowNote(edge.note);
    if (edge.moved)
        CalculateCropResize();
}

void frmMain::optStretch169_Click() {
    m_job.SetAspect(SourceAspect::Ratio16x9);
    CalculateCropResize();
}
void frmMain::optStretch43_Click() {
    m_job.SetAspect(SourceAspect::Ratio4x3);
    CalculateCropResize();
}

void frmMain::txtPixelCount_Change() {
    const auto value = TypedInputValue(txtPixelCount->text(), QLocale().decimalPoint().at(0));
    if (!value)
        return;
    m_job.SetTargetPixelCount(*value);
    CalculateCropResize();
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
    if (!m_job.CropReady())
        return;
    const auto result = m_job.Calculate();
    if (!result) {
        cmdPreview->setEnabled(false);
        cmdSaveInfo->setEnabled(false);
        ClearCropOutputs(QStringLiteral("ERROR"));
        return;
    }

    txtX1->setText(QString::number(result->offsetX1));
    txtX2->setText(OffsetText(result->offsetX2));
    txtY1->setText(QString::number(result->offsetY1));
    txtY2->setText(OffsetText(result->offsetY2));
    txtNewWidth->setText(QString::number(result->newWidth));
    txtNewHeight->setText(QString::number(result->newHeight));
    const QChar point = QLocale().decimalPoint().at(0);
    lblNewAR->setText(AspectText(result->newAspect, point));
    lblNewPixel->setText(QString::number(result->pixelCount));
    const QString aspectError = AspectErrorText(m_job.CropInput(), *result, point);
    for (QLabel* caption : {lblNewAR, lblNewPixel}) {
        caption->adjustSize();
        caption->setToolTip(aspectError);
    }

    picDraw->clearDrawing();
    constexpr std::uint32_t grey = 160 | (160 << 8) | (160 << 16);
    const MainWindowState& s = m_job.state();
    DrawCropFrame(s.CropLeft, s.CropTop, s.CropRight, s.CropBottom, 14, 2, grey);
    DrawCropFrame(s.FinalCropLeft, s.CropTop, s.FinalCropRight, s.CropBottom, 14, 0, grey);
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
    const QPoint topLeft(at(left), at(top));
    const QPoint bottomRight(at(right), at(bottom));
    const QPoint topRight(bottomRight.x(), topLeft.y());
    const QPoint bottomLeft(topLeft.x(), bottomRight.y());
    QImage& canvas = picDraw->canvas();
    DrawRasterLine(canvas, topLeft, topRight, pen);
    DrawRasterLine(canvas, bottomLeft, bottomRight, pen);
    DrawRasterLine(canvas, topLeft, bottomLeft, pen);
    DrawRasterLine(canvas, topRight, bottomRight, pen);
    picDraw->update();
}
