#include "core/RegularFile.h"
#include "core/Errors.h"
#include "core/MappedFile.h"
#include "core/TextFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace korvane;
using korvane::testing::TempDir;

namespace {

// A socket file at `path`, open for as long as the object lives.
class SocketFile {
public:
    explicit SocketFile(const std::string &path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0))
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        if (::bind(fd_, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
            ADD_FAILURE() << "no socket at " << path;
    }
    ~SocketFile() { ::close(fd_); }
    SocketFile(const SocketFile &) = delete;
    SocketFile &operator=(const SocketFile &) = delete;

private:
    int fd_;
};

std::string refusal(const std::function<void()> &open)
{
    try {
        open();
    } catch (const KorvaneError &e) {
        return e.text();
    }
    return "not refused";
}

// Every way an input is read refuses a FIFO (which would block), a device
// (which never ends), a socket and a folder, naming the path, before a byte
// is read; an output does not replace them.
TEST(RegularFile, EveryOpeningRefusesWhatIsNotARegularFile)
{
    TempDir dir;
    const std::string fifo = dir.file("pipe.gbr");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string socket = dir.file("socket.gbr");
    const SocketFile listening(socket);
    const struct {
        std::string path;
        const char *kind;
    } inputs[] = {
        {fifo, "名前付きパイプ（FIFO）"},
        {"/dev/zero", "キャラクタデバイス"},
        {socket, "ソケット"},
        {dir.path(), "フォルダ"},
    };
    const struct {
        const char *name;
        std::function<void(const std::string &)> open;
    } openings[] = {
        {"MappedFile", [](const std::string &p) { MappedFile file(p); }},
        {"readFileBytes", [](const std::string &p) { readFileBytes(p); }},
        {"readFileHead", [](const std::string &p) { readFileHead(p, 16); }},
        {"readTextLines", [](const std::string &p) { readTextLines(p); }},
        {"InputFile", [](const std::string &p) { InputFile file(p); }},
    };
    for (const auto &input : inputs) {
        const std::string expected =
            "'" + input.path + "' は" + input.kind + "のため読み込めません（通常のファイルを指定して下さい）";
        for (const auto &opening : openings)
            EXPECT_EQ(refusal([&] { opening.open(input.path); }), expected) << opening.name;
        if (input.path == "/dev/zero" || input.path == dir.path())
            continue;
        EXPECT_EQ(refusal([&] { writeFileAtomic(input.path, "x"); }),
                  "'" + input.path + "' は" + input.kind + "のため書き込めません（通常のファイルを指定して下さい）");
    }
    struct stat st {};
    ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// A symbolic link is read as the file it names: a link to a device is refused,
// a link to a regular file read.
TEST(RegularFile, LinksAreJudgedByTheFileTheyName)
{
    TempDir dir;
    const std::string board = dir.write("board.gbr", "X0Y0D03*");
    const std::string toBoard = dir.file("to-board.gbr"), toZero = dir.file("to-zero.gbr");
    ASSERT_EQ(::symlink(board.c_str(), toBoard.c_str()), 0);
    ASSERT_EQ(::symlink("/dev/zero", toZero.c_str()), 0);
    EXPECT_EQ(readFileBytes(toBoard), "X0Y0D03*");
    EXPECT_EQ(refusal([&] { MappedFile file(toZero); }),
              "'" + toZero + "' はキャラクタデバイスのため読み込めません（通常のファイルを指定して下さい）");
}

}  // namespace
