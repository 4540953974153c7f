#include "ui/preview/frm_preview.h"

#include "ui/controls/centre.h"
#include "ui/controls/picture_box.h"

#include <QPainter>
#include <QScreen>
#include <QScrollArea>

frmPreview::frmPreview(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("Quarvel - Preview (click picture to close window)"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    // The picture scrolls when it is larger than the screen, so that the window's title bar and
    // close button stay on it.
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    picPreview = new PictureBox(m_scroll);
    picPreview->setObjectName(QStringLiteral("picPreview"));
    picPreview->setBackground(Qt::black);
    picPreview->setGeometry(0, 0, 313, 217);
    m_scroll->setWidget(picPreview);
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

// The window's inside is exactly the picture, as far as the screen has room for it and for the
// window's frame.
void frmPreview::picPreview_Resize() {
    QSize inside = picPreview->size();
    if (const QScreen* screen = this->screen())
        inside = inside.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
    m_scroll->resize(inside);
    setFixedSize(inside);
}

void frmPreview::picPreview_Click() {
    close();
}
