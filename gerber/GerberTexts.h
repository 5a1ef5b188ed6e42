#pragma once
// Messages and questions of the Gerber load.
#include <cstddef>
#include <string>

namespace korvane::gerbermsg {

inline constexpr const char *NotRs274X =
    "拡張ガーバー（RS274X）と思われないので処理を中止します。フォーマットを確認して下さい。";
inline constexpr const char *NoDrawingData =
    "ガーバーデータではない(作画ﾃﾞｰﾀなし)かASCIIコードでない可能性がありますので確認して下さい。";
inline constexpr const char *Reading = "を読込中．．．";
inline constexpr const char *EmptyFile = "ファイルが空です（データがありません）";
// Status text after a load whose files declared RS-274X while RS-274D was set.
inline constexpr const char *ReadAsRs274X = "%FS/%MO ブロックがあるため RS-274X として読み込みました";

inline std::string apertureNotSet(const std::string &digits)
{
    return "アパーチャ(D" + digits + ")がセットされていません。処理を続行しますか？";
}

// A D-code's digits as its number: "022" is 22.
inline std::string dcodeNumber(const std::string &digits)
{
    size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? (digits.empty() ? digits : "0") : digits.substr(first);
}

// Names the D-code by its number, unlike the other two questions.
inline std::string apertureSetWrongly(const std::string &digits)
{
    return "アパーチャ(D" + dcodeNumber(digits) + ")のセットが誤っています。処理を続行しますか？";
}

inline std::string apertureMacroMissing(const std::string &digits)
{
    return "アパーチャ(D" + digits + ")のマクロ定義情報がありません。処理を続行しますか？";
}

// A file whose expansion would make more items than any real board.
inline std::string tooManyItems(std::size_t limit, const std::string &construct)
{
    return "描画要素が " + std::to_string(limit) + " 個を超えるため読込を中止しました" +
           (construct.empty() ? std::string() : "（" + construct + " の展開）");
}

// A file that holds no Gerber words at all: random bytes, a drill file.
inline constexpr const char *NotGerberData =
    "ガーバーデータではありません（ガーバーの命令が見つかりません）。ファイルを確認して下さい。";

// Notes of the load: what a file holds that is not drawn exactly.
inline std::string noteAt(const std::string &file, int line, const std::string &what)
{
    return file + " " + std::to_string(line) + "行: " + what;
}
inline std::string unknownParameter(const std::string &code)
{
    return "パラメータ %" + code + " は解釈できないため無視しました";
}
inline constexpr const char *StepRepeatInBlock = "ブロックアパーチャ内の %SR は展開していません";
inline constexpr const char *NestedStepRepeat = "%SR の入れ子は展開していません";
inline constexpr const char *BlockNotClosed = "%AB ブロックが閉じていません";

}  // namespace korvane::gerbermsg
