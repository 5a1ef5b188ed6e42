#include "core/Formats.h"

namespace korvane {

LayerColours defaultLayerColours()
{
    using namespace colours;
    return {Lime, Red,   Blue,  Purple, Olive,  Silver, Fuchsia, Yellow,
            Aqua, White, Green, Maroon, Maroon, Maroon, Maroon};
}

LayerColours PrintDefaults::defaultGerberRowColours()
{
    using namespace colours;
    return {Lime, Red,   Blue,  Purple, Silver, Olive,  Fuchsia, Yellow,
            Aqua, White, Green, Maroon, Maroon, Maroon, Maroon};
}

bool apertureButtonEnabled(const GerberInFormat &in, const GerberOutFormat &out)
{
    return in.dialect == GerberDialect::Rs274D && out.dialect == GerberDialect::Rs274X;
}

}  // namespace korvane
