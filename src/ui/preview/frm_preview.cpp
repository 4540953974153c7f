#include "ui/preview/frm_preview.h"

#include "ui/controls/centre.h"
#include "ui/controls/picture_box.h"

#include <QPainter>

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
    CentreOnScreen(this);
}

// The window's inside is exactly the picture, so the whole picture is always in view.
void frmPreview::picPreview_Resize() {
    setFixedSize(picPreview->size());
}

void frmPreview::picPreview_Click() {
    close();
}
