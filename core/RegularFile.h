#pragma once
// Every input file is opened here. Only regular files are read: a device
// (/dev/zero never ends), a FIFO (it blocks until a writer comes), a socket
// or a folder is refused before a byte is read, with a message naming it.
#include <string>

namespace korvane {

// Opens `path` for reading and returns its descriptor. Throws KorvaneError
// with the platform's text when it cannot be opened, and with
// notRegularFileText() when it is not a regular file.
int openRegularFile(const std::string &path);

enum class FileUse { Read, Write };

// Throws KorvaneError naming `path` when it exists and is not a regular
// file. An output is refused too: renaming a new file onto a device or a
// FIFO would replace the node itself; a folder as an output has the
// platform's text. A missing path passes.
void refuseNonRegularFile(const std::string &path, FileUse use);

// "'/dev/zero' はキャラクタデバイスのため読み込めません（通常のファイルを指定して下さい）"
// and the like, for the file type of `mode` (a stat st_mode).
std::string notRegularFileText(const std::string &path, unsigned mode, FileUse use = FileUse::Read);

}  // namespace korvane
