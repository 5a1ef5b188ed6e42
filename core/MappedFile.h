#pragma once
// A whole input file in memory, read once: mapped where the system allows
// it, read into a buffer otherwise. Only regular files are read. Several passes over the
// same bytes (a format scan, then the reading proper) cost one read.
#include <cstddef>
#include <string>
#include <string_view>

namespace korvane {

class MappedFile {
public:
    // Throws KorvaneError with the platform's text when the file cannot be
    // read, and names it when it is not a regular file.
    explicit MappedFile(const std::string &path);
    ~MappedFile();
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    std::string_view bytes() const { return {data_, size_}; }
    std::size_t size() const { return size_; }

    // The bytes before `offset` are not needed again: their pages may leave
    // memory (they read back from the file should they be touched again).
    void release(std::size_t offset);

private:
    const char *data_ = nullptr;
    std::size_t size_ = 0;
    void *map_ = nullptr;
    std::size_t released_ = 0;
    std::string copy_;  // a file that cannot be mapped
};

}  // namespace korvane
