#include "frm_preview.h"

#include "centre.h"
#include "picture_box.h"

#include <QPainter>

std::optional<QSize> PreviewSize(const PreviewRequest& request) {
    bool widthOk = false;
    bool heightOk = false;
    const int width = request.newWidth.toInt(&widthOk);
    const int height = request.newHeight.toInt(&heightOk);
    if (!widthOk || !heightOk || width < 1 || height < 1 || width > 32767 || height > 32767)
        return std::nullopt;
    if (qint64{width} * height > qint64{4096} * 4096)
        return std::nullopt;
    return QSize(width, height);
}

frmPreview::frmPreview(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("Quarvel - Preview (click picture to close window)"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    picPreview = new PictureBox(this);
    picPreview->setObjectName(QStringLiteral("picPreview"));
    picPreview->setBackground(Qt::black);
    picPreview->setGeometry(0, 0, 313, 217);
    connect(picPreview, &PictureBox::mouseUp, this, &frmPreview::picPreview_Click);
    picPreview_Resize();
}

void frmPreview::paintPreview(const QImage& source, const QRect& rectangle, QSize size) {
    picPreview->resizeBox(size);
    picPreview_Resize();
    QImage& canvas = picPreview->canvas();
    canvas.fill(Qt::black);
    const QRect inside = rectangle.intersected(source.rect());
    if (!inside.isEmpty() && rectangle.isValid()) {
        QPainter painter(&canvas);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(size)), source, QRectF(rectangle));
    }
    picPreview->update();
    centreOnScreen(this);
}

// The window's inside is exactly the picture, so the whole picture is always in view.
void frmPreview::picPreview_Resize() {
    setFixedSize(picPreview->size());
}

void frmPreview::picPreview_Click() {
    close();
}
