#include "core/TextFile.h"
#include "core/Encoding.h"
#include "core/Errors.h"

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

std::string folderOf(const std::string &path)
{
    auto pos = path.find_last_of('/');
    if (pos == std::string::npos)
        return ".";
    if (pos == 0)
        return "/";
    return path.substr(0, pos);
}

} // namespace

std::string readFileBytes(const std::string &path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        throwFileError(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0 && S_ISDIR(st.st_mode))
        throwFileError(EISDIR);
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

void writeFileAtomic(const std::string &requestedPath, std::string_view bytes)
{
    // Writing through a symbolic link replaces the file it points to, not the link.
    std::string path = requestedPath;
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char *resolved = ::realpath(path.c_str(), nullptr)) {
            path = resolved;
            ::free(resolved);
        }
    }
    // A path that names a folder cannot be replaced by a file.
    struct stat existing {};
    bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        throwFileError(EISDIR);

    std::string tmpl = folderOf(path) + "/.korvane-XXXXXX";
    FileDescriptor fd(::mkstemp(tmpl.data()));
    if (fd.get() < 0)
        throwFileError(errno);

    auto fail = [&](int err) {
        ::unlink(tmpl.c_str());
        throwFileError(err);
    };

    // Keep the mode of the file we replace; a new file gets the usual
    // 0666 less the umask rather than mkstemp's 0600.
    mode_t mode;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd.get(), mode) != 0)
        fail(errno);

    const char *p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd.get(), p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd.get()) != 0)
        fail(errno);
    if (::close(fd.release()) != 0)
        fail(errno);
    if (::rename(tmpl.c_str(), path.c_str()) != 0)
        fail(errno);
}

InputFile::InputFile(const std::string &path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
{
    if (fd_ < 0)
        throwFileError(errno);
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throwFileError(EISDIR);
    }
}

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

} // namespace korvane
