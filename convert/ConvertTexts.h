#pragma once
// Messages of the format conversions and the code conversion commands.
#include <string>

namespace korvane::convmsg {

inline constexpr const char *TapeDone = "コード変換が終了しました！";
inline constexpr const char *OutputIsInput =
    "出力ファイルが入力ファイルと同じです。別のファイル名を指定して下さい。";

// Gerber writer stops and warnings.
inline constexpr const char *InputIsRs274X =
    "このガーバーはＲＳ２７４Ｘです。入力フォーマットを再設定して処理しなおして下さい。";
inline constexpr const char *ClearPolarityDropped =
    "RS274XのClear Polarity(LPC)命令が使われていますがRS274Dに変換した場合、この抜き処理は行われません。";
inline constexpr const char *ApertureNotSet = "アパーチャがセットされていないので処理を中止します。 ";

inline std::string badApertureSize(const std::string &dcode, const char *shapeWord)
{
    return dcode + "の" + shapeWord + "のアパーチャ定義が正しくないので処理を中止します。";
}

inline std::string macroMissing(const std::string &dcode)
{
    return "アパーチャ(" + dcode + ")のマクロ定義情報が無いため処理を中止します。";
}

} // namespace korvane::convmsg
