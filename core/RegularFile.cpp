#include "core/RegularFile.h"
#include "core/Errors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {
namespace {

const char *fileTypeName(unsigned mode)
{
    switch (mode & S_IFMT) {
    case S_IFDIR: return "フォルダ";
    case S_IFIFO: return "名前付きパイプ（FIFO）";
    case S_IFCHR: return "キャラクタデバイス";
    case S_IFBLK: return "ブロックデバイス";
    case S_IFSOCK: return "ソケット";
    default: return "通常のファイルでないもの";
    }
}

[[noreturn]] void throwNotRegular(const std::string &path, unsigned mode, FileUse use)
{
    throw KorvaneError(notRegularFileText(path, mode, use));
}

}  // namespace

std::string notRegularFileText(const std::string &path, unsigned mode, FileUse use)
{
    return "'" + path + "' は" + fileTypeName(mode) +
           (use == FileUse::Read ? "のため読み込めません" : "のため書き込めません") +
           "（通常のファイルを指定して下さい）";
}

void refuseNonRegularFile(const std::string &path, FileUse use)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode))
        return;
    // A folder as an output keeps the platform's own message.
    if (use == FileUse::Write && S_ISDIR(st.st_mode))
        throwFileError(EISDIR);
    throwNotRegular(path, st.st_mode, use);
}

int openRegularFile(const std::string &path)
{
    // Looked at before it is opened: opening some devices already acts.
    refuseNonRegularFile(path, FileUse::Read);
    // Non-blocking, so that a FIFO put in the file's place since the look
    // cannot hold the open; the second look below refuses it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        const int err = errno;
        if (err == ENXIO)  // a socket
            refuseNonRegularFile(path, FileUse::Read);
        throwFileError(err);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = errno;
        ::close(fd);
        if (st.st_mode != 0)
            throwNotRegular(path, st.st_mode, FileUse::Read);
        throwFileError(err);
    }
    // Reads of a regular file never block anyway; the flag goes for clarity.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace korvane
