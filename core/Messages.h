#pragma once
// Texts of the workspace subsystem and the platform's standard messages,
// written once so that code and tests refer to the same constants.
#include <string>
#include <string_view>

namespace korvane::msg {

// Platform file errors.
inline constexpr const char *FileNotFound = "ファイルが見つかりません";
inline constexpr const char *PathNotFound = "パスが見つかりません";
inline constexpr const char *AccessDenied = "ファイルへのアクセスが拒否されました";
inline constexpr const char *TooManyOpenFiles = "開いているファイルが多すぎます";
inline constexpr const char *DiskFull = "ディスクがいっぱいです";
inline constexpr const char *ReadPastEnd = "ファイルの終わりを越えて読み込みました";
inline constexpr const char *IoErrorNumber = "入出力エラー %s";

// Platform conversion errors.
inline constexpr const char *NotAnInteger = "'%s' は整数ではありません";
inline constexpr const char *NotAReal = "'%s' は浮動小数点数ではありません";

// A number that reads well but lies outside what the value allows; says
// which value and which range, for example
// "レイヤー番号 '16' は範囲外です（0～15）".
std::string outOfRange(std::string_view what, std::string_view value, std::string_view range);

// Message box titles.
inline constexpr const char *TitleError = "エラー";
inline constexpr const char *TitleWarning = "警告";
inline constexpr const char *TitleInformation = "情報";
inline constexpr const char *TitleConfirmation = "確認";

// Replaces the first "%s" of pattern with value.
std::string format(std::string_view pattern, std::string_view value);

}  // namespace korvane::msg
