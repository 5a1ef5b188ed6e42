#pragma once
// Captions, status texts and messages of the two prints.
#include <string>

namespace korvane::printmsg {

// Status bar and progress box while a file is printed or composed.
inline constexpr const char *StatusPrinting = "を印刷中．．．";
inline constexpr const char *StatusComposing = "を合成中．．．";
inline constexpr const char *ProgressPrinting = "を印刷中です";
inline constexpr const char *ProgressComposing = "を合成中です";
inline constexpr const char *ProgressCaption = "印刷中";
inline constexpr const char *ProgressCancel = "キャンセル";

inline constexpr const char *TitleSeparator = "    Scale:  ";

inline constexpr const char *NotRs274X =
    "拡張ガーバー(or 作画ﾃﾞｰﾀなし)と思われないので処理を中止します。フォーマットを確認して下さい。";
inline constexpr const char *GerberPrintFinished = "ガーバー印刷が終了しました！";

inline constexpr const char *ParameterFileMissing =
    "のファイルがありません。ロードしたパラメータファイルと同じフォルダ内にこのファイルが必要です。処理を中止します。";

// The Gerber print dialog.
inline constexpr const char *GerberPrintCaption = "ガーバー印刷";
inline constexpr const char *ChooseGerberTitle = "ｶﾞｰﾊﾞｰﾌｧｲﾙの選択";
inline constexpr const char *GerberFilter =
    "Gerber Files(*.ger)|*.ger|Gerber Files(*.gbr)|*.gbr|Gerber Files(*.lgx)|*.lgx|Gerber Files(*.pho)|*.pho|"
    "Gerber Files(*.lgr)|*.lgr|Gerber Files(*.cam)|*.cam|All Files(*.*)|*.*";
inline constexpr const char *SaveParametersTitle = "印刷ﾊﾟﾗﾒｰﾀの保存";
inline constexpr const char *LoadParametersTitle = "印刷ﾊﾟﾗﾒｰﾀの選択";
inline constexpr const char *ParameterFilter = "Parameter Files(*.prm)|*.prm|All Files(*.*)|*.*";

}  // namespace korvane::printmsg

namespace korvane::printmsg {

inline constexpr const char *DrillPrintFinished = "ドリル印刷が終了しました！";

// The drill print dialog.
inline constexpr const char *DrillPrintCaption = "ドリル印刷";
inline constexpr const char *ChooseDrillTitle = "ﾄﾞﾘﾙﾌｧｲﾙの選択";
inline constexpr const char *DrillFilter =
    "Drill Files(*.drl)|*.drl|Drill Files(*.ncd)|*.ncd|Drill Files(*.nc)|*.nc|Drill Files(*.cam)|*.cam|"
    "Drill Files(*.txt)|*.txt|All Files(*.*)|*.*";
inline constexpr const char *OverlayFilter =
    "Gerber Files(*.ger)|*.ger|Gerber Files(*.gbr)|*.gbr|Gerber Files(*.lgx)|*.lgx|Gerber Files(*.pho)|*.pho|"
    "All Files(*.*)|*.*";

// Legend headers, left to right.
inline constexpr const char *LegendMark = "マーク";
inline constexpr const char *LegendTool = "ツール";
inline constexpr const char *LegendDiameter = "仕上径";
inline constexpr const char *LegendType = "タイプ";
inline constexpr const char *LegendCount = "数  量";
// A drill print whose files could none be read.
inline constexpr const char *NothingToPrint = "印刷できるドリルファイルがありません。何も印刷しませんでした。";
// The type column of a tool with slots or routed paths, before their number.
inline constexpr const char *LegendSlots = "長穴 ";
// Below the legend when a Gerber file was drawn under the chart.
inline constexpr const char *LegendOverlay = "灰色の図形：重ねたガーバーデータ ";

}  // namespace korvane::printmsg
