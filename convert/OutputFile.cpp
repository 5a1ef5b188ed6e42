#include "convert/OutputFile.h"
#include "convert/ConvertTexts.h"
#include "core/Errors.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {
namespace {

constexpr size_t BufferSize = 1 << 16;

std::string folderOf(const std::string &path)
{
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

AtomicOutputFile::AtomicOutputFile(const std::string &requested) : path_(requested)
{
    // Writing through a symbolic link replaces the file it points to.
    struct stat link {};
    if (::lstat(path_.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char *resolved = ::realpath(path_.c_str(), nullptr)) {
            path_ = resolved;
            ::free(resolved);
        }
    }
    struct stat existing {};
    bool exists = ::stat(path_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        throwFileError(EISDIR);
    temp_ = folderOf(path_) + "/.korvane-XXXXXX";
    fd_ = ::mkstemp(temp_.data());
    if (fd_ < 0)
        throwFileError(errno);
    mode_t mode;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd_, mode) != 0) {
        int err = errno;
        discard();
        throwFileError(err);
    }
    buffer_.reserve(BufferSize);
}

AtomicOutputFile::~AtomicOutputFile()
{
    discard();
}

void AtomicOutputFile::write(std::string_view bytes)
{
    if (buffer_.size() + bytes.size() > BufferSize)
        flush();
    if (bytes.size() >= BufferSize) {
        buffer_.append(bytes);
        flush();
        return;
    }
    buffer_.append(bytes);
}

void AtomicOutputFile::flush()
{
    const char *p = buffer_.data();
    size_t left = buffer_.size();
    while (left > 0) {
        ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int err = errno;
            discard();
            throwFileError(err);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    buffer_.clear();
}

void AtomicOutputFile::commit()
{
    if (fd_ < 0)
        throwFileError(EBADF);
    flush();
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || ::rename(temp_.c_str(), path_.c_str()) != 0) {
        int err = errno;
        ::unlink(temp_.c_str());
        temp_.clear();
        throwFileError(err);
    }
    temp_.clear();
}

void AtomicOutputFile::discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
    buffer_.clear();
}

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

} // namespace korvane
