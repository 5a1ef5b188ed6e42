#pragma once
// Texts of the aperture table, its files and its window, written once so that
// code and tests refer to the same constants.

namespace korvane::aptmsg {

inline constexpr const char *DefaultTitle = "アパーチャテーブル";
inline constexpr const char *Unsaved = "未保存";

// Shape texts held in a row.
inline constexpr const char *Blank = " ";
inline constexpr const char *Round = "丸";
inline constexpr const char *Square = "正方形";
inline constexpr const char *Rectangle = "長方形";
inline constexpr const char *Oblong = "楕円形";
inline constexpr const char *DrillHole = "キリ穴";
inline constexpr const char *Target = "トンボ";
inline constexpr const char *Counterbore = "ザグリ";
inline constexpr const char *ThermalX = "サーマル×";
inline constexpr const char *ThermalPlus = "サーマル＋";
inline constexpr const char *RoundDonut = "丸ドーナツ";
inline constexpr const char *SquareDonut = "角ドーナツ";
inline constexpr const char *OblongDonut = "楕円ドーナツ";
inline constexpr const char *Macro = "Macro";
inline constexpr const char *Custom = "カスタム";
inline constexpr const char *Unknown = "？？？？？";
inline constexpr const char *NoSize = "**********";

// File dialogs.
inline constexpr const char *LoadTitle = "ｱﾊﾟｰﾁｬﾃｰﾌﾞﾙの選択";
inline constexpr const char *SaveTitle = "ｱﾊﾟｰﾁｬﾃｰﾌﾞﾙの保存";
inline constexpr const char *AptFilter = "Aperture Table Files(*.apt)|*.apt|All Files(*.*)|*.*";
inline constexpr const char *SelectionAptFilter = "Aperture Files(*.Apt)|*.Apt|All Files(*.*)|*.*";
inline constexpr const char *GapTitle = "GAPﾌｧｲﾙの選択";
inline constexpr const char *GapFilter = "GAP Aperture Table Files(*.gap)|*.gap|All Files(*.*)|*.*";
inline constexpr const char *LibLoadTitle = "ｱﾊﾟｰﾁｬﾏｸﾛﾌｧｲﾙの選択";
inline constexpr const char *LibSaveTitle = "ｱﾊﾟｰﾁｬﾏｸﾛﾌｧｲﾙの保存";
inline constexpr const char *LibFilter = "Aperture Macro Files(*.lib)|*.lib|All Files(*.*)|*.*";

// Messages.
inline constexpr const char *LibNotLoaded = "ｱﾊﾟｰﾁｬﾏｸﾛﾌｧｲﾙの読込みがされませんでした。";
inline constexpr const char *LibExistsSuffix = "のｱﾊﾟｰﾁｬﾏｸﾛﾌｧｲﾙは既に存在します。上書きしますか？";
// After the file's name and a line break; the table is left as it was.
inline constexpr const char *NotAnAptFile =
    "アパーチャテーブル（.apt）のファイルではありません。読み込みを中止しました。";
inline constexpr const char *PrintNeedsFile = "アパーチャテーブルファイルをロードしないと印刷出来ません！";
// Followed by the D-codes whose texts did not fit their fields.
// D-codes above D999 that RS-274X files defined: the .apt file has no rows for them.
inline constexpr const char *RowsAboveD999NotSaved =
    "次のDコードは D999 を超えるため、アパーチャテーブルファイルに保存していません：";
inline constexpr const char *TextsCut = "次のDコードの形状またはサイズは長すぎるため、切り詰めて保存しました：";

// The window.
inline constexpr const char *PathLabel = "アパーチャテーブル：";
inline constexpr const char *HeadingNumber = "No.";
inline constexpr const char *HeadingDCode = "Dｺｰﾄﾞ";
inline constexpr const char *HeadingShape = "      形  状";
inline constexpr const char *HeadingSize = "      サイズ(mm)";
inline constexpr const char *ButtonLoad = "ロード";
inline constexpr const char *ButtonSave = "セーブ";
inline constexpr const char *ButtonPrint = "テーブル印刷";
inline constexpr const char *ButtonGap = "GAPの取込";
inline constexpr const char *ButtonClose = "閉じる";
inline constexpr const char *ShapePickerTitle = "形状の選択";
inline constexpr const char *SizeEntryTitle = "アパーチャサイズ入力";
inline constexpr const char *MacroPreviewTitle = "マクロアパーチャ形状";

// The aperture list.
inline constexpr const char *ListBanner = "*   KORVANE Ver4";
inline constexpr const char *ListCaption = "*   アパーチャテーブルの印刷";
inline constexpr const char *ListFilePrefix = "*   Aperture Table File: ";
// The heading's three column titles.
inline constexpr const char *ListHeadingDCode = " DｺｰﾄﾞNo.";
inline constexpr const char *ListHeadingShape = "形    状";
inline constexpr const char *ListHeadingSize = "サイズ";

}  // namespace korvane::aptmsg
