#pragma once
// The program's fonts: "ＭＳ Ｐゴシック" maps to IPAPGothic, "MS ゴシック" to
// IPAGothic, with Noto Sans CJK JP as the fallback.
#include <QFont>

namespace korvane {

QFont proportionalGothic(int pixelSize = 12);
QFont monospaceGothic(int pixelSize = 12);

}  // namespace korvane
