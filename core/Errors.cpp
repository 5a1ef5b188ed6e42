#include "core/Errors.h"
#include "core/Messages.h"

#include <cerrno>

namespace korvane {

std::string fileErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT: return msg::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG: return msg::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY: return msg::AccessDenied;
    case EMFILE:
    case ENFILE: return msg::TooManyOpenFiles;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return msg::DiskFull;
    default: return msg::format(msg::IoErrorNumber, std::to_string(errorNumber));
    }
}

void throwFileError(int errorNumber) { throw KorvaneError(fileErrorText(errorNumber)); }

}  // namespace korvane
