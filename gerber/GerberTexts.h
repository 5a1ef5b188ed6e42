#pragma once
// Messages and questions of the Gerber load.
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

}  // namespace korvane::gerbermsg
