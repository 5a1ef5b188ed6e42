#include "convert/OutputFile.h"
#include "convert/ConvertTexts.h"
#include "core/Errors.h"

#include <filesystem>

namespace korvane {
bool sameFile(const std::string &a, const std::string &b)
{
    std::error_code ec;
    bool same = std::filesystem::equivalent(a, b, ec);
    return !ec && same;
}

void refuseOutputOntoInput(const std::string &input, const std::string &output)
{
    if (sameFile(input, output))
        throw KorvaneError(convmsg::OutputIsInput);
}

}  // namespace korvane
