#pragma once
// A fresh folder under /tmp for one test, removed with its contents afterwards.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace korvane::testing {

class TempDir {
public:
    TempDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "korvane-test-XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data());
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    std::string path() const { return path_.string(); }
    std::string file(const std::string &name) const { return (path_ / name).string(); }

    std::string write(const std::string &name, const std::string &bytes) const
    {
        std::ofstream out(file(name), std::ios::binary);
        out << bytes;
        return file(name);
    }

    static std::string read(const std::string &path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path path_;
};

}  // namespace korvane::testing
