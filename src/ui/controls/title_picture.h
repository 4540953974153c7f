#pragma once

#include "ui/controls/picture_box.h"

// The start screen: a text block on black between two bands. Only the text block is a picture;
// it is read at the first paint and kept in the format the window paints in, so that no
// repaint converts it.
class TitlePicture : public PictureBox {
    Q_OBJECT
public:
    using PictureBox::PictureBox;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_textBlock;
};
