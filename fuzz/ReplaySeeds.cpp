// Runs a fuzz target's entry point once on every file of the folders (or
// files) named on the command line, so the committed seeds are checked by an
// ordinary build without libFuzzer. A fault aborts; otherwise it exits 0.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

void runOne(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A copy of exactly the file's size, so a read past the end is caught.
    std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    std::printf("%s (%zu bytes)\n", path.string().c_str(), data.size());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(data.data(), data.size());
}

}  // namespace

int main(int argc, char **argv)
{
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path arg(argv[i]);
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(arg)) {
            for (const auto &entry : std::filesystem::directory_iterator(arg))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
            std::sort(files.begin(), files.end());
        } else if (std::filesystem::is_regular_file(arg)) {
            files.push_back(arg);
        } else {
            std::fprintf(stderr, "no such seed file or folder: %s\n", argv[i]);
            return 2;
        }
        for (const auto &file : files)
            runOne(file);
        count += files.size();
    }
    if (count == 0) {
        std::fprintf(stderr, "no seeds to replay\n");
        return 2;
    }
    std::printf("%zu seeds replayed\n", count);
    return 0;
}
