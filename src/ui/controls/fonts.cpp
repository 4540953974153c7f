#include "ui/controls/fonts.h"

#include <QStringList>

QFont UiFont(int pixelSize, bool bold) {
    QFont font;
    // One family: each missing one would cost a fallback search. Where Liberation Sans is
    // missing, fontconfig's own aliases (Arial, Helvetica) and the sans hint stand in.
    font.setFamily(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}
