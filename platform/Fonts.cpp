#include "platform/Fonts.h"

#include <QStringList>

namespace korvane {

QFont proportionalGothic(int pixelSize)
{
    QFont font;
    font.setFamilies({"IPAPGothic", "Noto Sans CJK JP", "IPAGothic", "Sans Serif"});
    font.setPixelSize(pixelSize);
    return font;
}

QFont monospaceGothic(int pixelSize)
{
    QFont font;
    font.setFamilies({"IPAGothic", "Noto Sans Mono CJK JP", "Monospace"});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(pixelSize);
    return font;
}

}  // namespace korvane
