#pragma once

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QSize>
#include <optional>

class PictureBox;

// What the preview shows: the new size as the main window's boxes show it, and the region of
// the source picture that is scaled to it.
struct PreviewRequest {
    QString newWidth;
    QString newHeight;
    QRect source;
};

// The preview's size, or nothing when it cannot be shown: a size outside 1 to 32767, or an
// area beyond 4096 x 4096 pixels.
std::optional<QSize> PreviewSize(const PreviewRequest& request);

// Modal window with the cropped picture stretched to the new size; a click on it closes it.
class frmPreview : public QDialog {
    Q_OBJECT
public:
    explicit frmPreview(QWidget* parent);

    // Paints the source rectangle stretched independently in x and y to the whole new size.
    void paintPreview(const QImage& source, const QRect& rectangle, QSize size);

private:
    void picPreview_Click();
    void picPreview_Resize();

    PictureBox* picPreview = nullptr;
};
