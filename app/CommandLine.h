#pragma once
// The desktop program's own options, answered before any window or display
// is needed: --help and --version print and end the program; an unknown
// option is refused instead of being opened as a file.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace korvane {

inline constexpr const char *ProgramUsage =
    "使い方: korvane [ファイル ...]\n"
    "       korvane --help | --version\n"
    "\n"
    "ガーバー（RS-274D, RS-274X）と NC ドリルのファイルを最大 15 層の色分けで表示する CAM ツールです。\n"
    "指定したファイルは起動時に開きます:\n"
    "  *.gdb          保存したデータベースを開きます（単独で指定）\n"
    "  *.apt          アパーチャテーブルを先に読み込みます（RS-274D 用）\n"
    "  ドリルファイル   内容または拡張子で判別し、ガーバーの次の層へ読み込みます\n"
    "  その他         ガーバーファイルとして層 1, 2, ... へ読み込みます\n"
    "\n"
    "  --help         この説明を表示して終了します\n"
    "  --version      バージョンを表示して終了します\n"
    "\n"
    "表示中の操作: +/- またはマウスホイールで拡大・縮小、中ボタンか左ボタンのドラッグで移動、\n"
    "Home で全体表示、Insert で再表示。\n";

// What the command line asks before the window starts: an exit status when
// the program is to end at once (after writing to `out` or `err`), nothing
// when the window should start with `arguments` as its files.
std::optional<int> answerCommandLine(const std::vector<std::string> &arguments, const char *version, std::ostream &out,
                                     std::ostream &err);

}  // namespace korvane
