#pragma once

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QSize>

class PictureBox;
class QScrollArea;

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

    QScrollArea* m_scroll = nullptr;
    PictureBox* picPreview = nullptr;
};
