#pragma once
// 0x00BBGGRR colours <-> QColor.
#include "core/Colour.h"

#include <QColor>

namespace korvane {

inline QColor toQColor(Colour c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

inline Colour fromQColor(const QColor &q)
{
    return rgb(static_cast<std::uint8_t>(q.red()), static_cast<std::uint8_t>(q.green()),
               static_cast<std::uint8_t>(q.blue()));
}

}  // namespace korvane
