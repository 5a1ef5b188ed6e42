#include "core/TextFile.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/RegularFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    int release()
    {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

constexpr size_t OutputBufferSize = 1 << 16;

std::string folderOf(const std::string &path)
{
    auto pos = path.find_last_of('/');
    if (pos == std::string::npos)
        return ".";
    if (pos == 0)
        return "/";
    return path.substr(0, pos);
}

}  // namespace

std::string readFileBytes(const std::string &path)
{
    FileDescriptor fd(openRegularFile(path));
    struct stat st {};
    ::fstat(fd.get(), &st);
    std::string out;
    if (st.st_size > 0)
        out.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throwFileError(errno);
        }
        if (n == 0)
            break;
        out.append(buffer, static_cast<size_t>(n));
    }
    return out;
}

std::vector<std::string_view> splitLines(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < bytes.size()) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(bytes.substr(start, i - start));
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

std::vector<std::string> readTextLines(const std::string &path)
{
    std::string bytes = readFileBytes(path);
    std::vector<std::string> lines;
    for (auto line : splitLines(bytes))
        lines.push_back(cp932ToUtf8(line));
    return lines;
}

std::string encodeTextLines(const std::vector<std::string> &lines, bool lastLineEnded)
{
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        out += utf8ToCp932(lines[i]);
        if (lastLineEnded || i + 1 < lines.size())
            out += "\r\n";
    }
    return out;
}

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
    refuseNonRegularFile(path_, FileUse::Write);
    struct stat existing {};
    bool exists = ::stat(path_.c_str(), &existing) == 0;
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
    buffer_.reserve(OutputBufferSize);
}

AtomicOutputFile::~AtomicOutputFile() { discard(); }

void AtomicOutputFile::append(std::string_view bytes)
{
    if (buffer_.size() + bytes.size() > OutputBufferSize)
        flush();
    if (bytes.size() >= OutputBufferSize) {
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
    if (::fsync(fd) != 0 || ::close(fd) != 0 || ::rename(temp_.c_str(), path_.c_str()) != 0) {
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

void writeFileAtomic(const std::string &path, std::string_view bytes)
{
    AtomicOutputFile out(path);
    out.append(bytes);
    out.commit();
}

InputFile::InputFile(const std::string &path) : fd_(openRegularFile(path)) {}

InputFile::~InputFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::size_t InputFile::read(char *buffer, std::size_t size)
{
    for (;;) {
        ssize_t n = ::read(fd_, buffer, size);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            throwFileError(errno);
    }
}

bool fileExists(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string readFileHead(const std::string &path, std::size_t limit)
{
    InputFile input(path);
    std::string head(limit, '\0');
    std::size_t got = 0;
    while (got < head.size()) {
        std::size_t n = input.read(head.data() + got, head.size() - got);
        if (n == 0)
            break;
        got += n;
    }
    head.resize(got);
    return head;
}

}  // namespace korvane
