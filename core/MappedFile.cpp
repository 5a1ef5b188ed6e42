#include "core/MappedFile.h"
#include "core/RegularFile.h"
#include "core/TextFile.h"

#include <algorithm>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane {

MappedFile::MappedFile(const std::string &path)
{
    const int fd = openRegularFile(path);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        // Populated at once: faulting the pages in one by one costs more
        // than the reading itself.
        void *map = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (map != MAP_FAILED) {
            ::close(fd);
            map_ = map;
            data_ = static_cast<const char *>(map);
            size_ = static_cast<std::size_t>(st.st_size);
            ::madvise(map, size_, MADV_SEQUENTIAL);
            return;
        }
    }
    ::close(fd);
    // Empty files, files of /proc and file systems without mapping.
    copy_ = readFileBytes(path);
    data_ = copy_.data();
    size_ = copy_.size();
}

MappedFile::~MappedFile()
{
    if (map_)
        ::munmap(map_, size_);
}

void MappedFile::release(std::size_t offset)
{
    if (!map_)
        return;
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t upTo = std::min(offset, size_) / page * page;
    if (upTo <= released_)
        return;
    ::madvise(static_cast<char *>(map_) + released_, upTo - released_, MADV_DONTNEED);
    released_ = upTo;
}

}  // namespace korvane
