#pragma once
// Captions, headings and messages of the Gerber/drill cross-creation.
#include <string>

namespace korvane::crossmsg {

inline constexpr const char *TitleGerberToDrill = "ｶﾞｰﾊﾞｰ → ﾄﾞﾘﾙ作成";
inline constexpr const char *TitleDrillToGerber = "ﾄﾞﾘﾙ → ｶﾞｰﾊﾞｰ作成";
inline constexpr const char *TableHeadingGerberToDrill = "*   ｶﾞｰﾊﾞｰ → ﾄﾞﾘﾙ作成ﾃｰﾌﾞﾙ";
inline constexpr const char *TableHeadingDrillToGerber = "*   ﾄﾞﾘﾙ → ｶﾞｰﾊﾞｰ作成ﾃｰﾌﾞﾙ";
inline constexpr const char *ReportCaption = "ｶﾞｰﾊﾞｰ/ﾄﾞﾘﾙ作成ﾚﾎﾟｰﾄ";

inline constexpr const char *ColumnNumber = "No.";
inline constexpr const char *ColumnDcode = "Dｺｰﾄﾞ";
inline constexpr const char *ColumnTool = " ﾂｰﾙ";
inline constexpr const char *ReportNumber = " No.";
inline constexpr const char *ReportDcode = "Dcode";
inline constexpr const char *ReportTool = "Tool";
inline constexpr const char *ReportCount = "ｶｳﾝﾄ";

inline constexpr const char *LabelTableFile = "ﾃｰﾌﾞﾙﾌｧｲﾙ名：";
inline constexpr const char *LabelSource = "変換前ﾌｧｲﾙ名：";
inline constexpr const char *LabelTarget = "変換後ﾌｧｲﾙ名：";
inline constexpr const char *LabelReportInput = "入力ﾌｧｲﾙ名：";
inline constexpr const char *LabelReportOutput = "出力ﾌｧｲﾙ名：";

inline constexpr const char *NoSource = "変換前ファイルを選択して下さい！";
inline constexpr const char *NoTarget = "変換後ファイルを設定して下さい！";
inline constexpr const char *NoTable = "チェンジテーブルを設定して下さい！";
inline constexpr const char *CreatingDrill = "のドリルデータを作成中．．．";
inline constexpr const char *CreatingGerber = "のガーバーデータを作成中．．．";

inline std::string apertureNotSetForRs274X(const std::string &dcode)
{
    return dcode + "のｱﾊﾟｰﾁｬがｾｯﾄされていないのでRS274Xﾌｫｰﾏｯﾄでの出力が出来ません。処理を中止します。";
}

// File dialogs.
inline constexpr const char *TableOpenTitle = "ﾃｰﾌﾞﾙﾌｧｲﾙの選択";
inline constexpr const char *TableSaveTitle = "ﾃｰﾌﾞﾙﾌｧｲﾙの保存";
inline constexpr const char *TableFilter = "Table Files(*.tbl)|*.tbl|All Files(*.*)|*.*";
inline constexpr const char *SourceTitle = "変換前ﾌｧｲﾙの選択";
inline constexpr const char *TargetTitle = "変換後ﾌｧｲﾙの保存";
inline constexpr const char *DrillSaveFilter = "Drill Files(*.drl)|*.drl|Drill Files(*.ncd)|*.ncd|Drill "
                                               "Files(*.nc)|*.nc|Drill Files(*.txt)|*.txt|All Files(*.*)|*.*";
inline constexpr const char *GerberSaveFilter = "Gerber Files(*.ger)|*.ger|Gerber Files(*.gbr)|*.gbr|Gerber "
                                                "Files(*.lgx)|*.lgx|Gerber Files(*.pho)|*.pho|All Files(*.*)|*.*";

}  // namespace korvane::crossmsg
