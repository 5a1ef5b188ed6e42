#pragma once
// Messages of the format conversions and the code conversion commands.
#include <string>

namespace korvane::convmsg {

inline constexpr const char *TapeDone = "コード変換が終了しました！";
inline constexpr const char *OutputIsInput = "出力ファイルが入力ファイルと同じです。別のファイル名を指定して下さい。";

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

// The batch conversion dialog.
inline constexpr const char *BatchFormCaption = "フォーマット変換";
inline constexpr const char *BatchGerberCaption = "ｶﾞｰﾊﾞｰﾌｧｲﾙﾌｫｰﾏｯﾄ変換";
inline constexpr const char *BatchDrillCaption = "ﾄﾞﾘﾙﾌｧｲﾙﾌｫｰﾏｯﾄ変換";
inline constexpr const char *GerberSelectTitle = "ｶﾞｰﾊﾞｰﾌｧｲﾙの選択";
inline constexpr const char *DrillSelectTitle = "ﾄﾞﾘﾙﾌｧｲﾙの選択";
inline constexpr const char *GerberFilesFilter =
    "Gerber Files(*.ger)|*.ger|Gerber Files(*.gbr)|*.gbr|Gerber Files(*.lgx)|*.lgx|Gerber Files(*.pho)|*.pho|"
    "Gerber Files(*.lgr)|*.lgr|Gerber Files(*.cam)|*.cam|All Files(*.*)|*.*";
inline constexpr const char *DrillFilesFilter =
    "Drill Files(*.drl)|*.drl|Drill Files(*.ncd)|*.ncd|Drill Files(*.nc)|*.nc|"
    "Drill Files(*.cam)|*.cam|Drill Files(*.txt)|*.txt|All Files(*.*)|*.*";
inline constexpr const char *AllFilesFilter = "All Files(*.*)|*.*";
inline constexpr const char *OutputNameTitle = "変換後ﾌｧｲﾙ名の保存";
inline constexpr const char *OutputExistsSuffix = " ﾌｧｲﾙは既に存在します。上書きしますか？";
inline constexpr const char *SameNames = "入出力のファイル名が同じものがあります。出力ファイル名を変更して下さい。";
inline constexpr const char *SelectFiles = "ファイルを選択して下さい。";
inline constexpr const char *AskAutoApertureTable = "アパーチャテーブルの自動設定を行いますか？";
inline constexpr const char *ConvertingSuffix = "を変換中．．．";
inline constexpr const char *BatchDone = "フォーマット変換が終了しました！";

// Pairs of a run that are not converted, and how each pair ended.
inline constexpr const char *RefusedPair = "この組は変換しません: ";
inline constexpr const char *RefusedOutputIsAnInput = "出力ファイルがこの変換の入力ファイルと同じです。";
inline constexpr const char *RefusedOutputTaken = "出力ファイルが先の組の出力ファイルと同じです。";
inline constexpr const char *RefusedOverwriteDeclined = "出力ファイルの上書きは「いいえ」と答えられています。";
inline constexpr const char *PairStopped = "処理を中止しました";
inline constexpr const char *PairNotConverted = "変換しませんでした";

}  // namespace korvane::convmsg
