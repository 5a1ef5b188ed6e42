#pragma once
// Texts of the renumbering dialog and its report window.
namespace korvane::renumbermsg {

inline constexpr const char *DCodeCaption = "Dcode番号の変更";
inline constexpr const char *ToolCaption = "Tool番号の変更";
inline constexpr const char *TableGroup = "ﾁｪﾝｼﾞﾃｰﾌﾞﾙ";
inline constexpr const char *NumberColumn = "No.";
inline constexpr const char *BeforeColumn = "変換前";
inline constexpr const char *AfterColumn = "変換後";
inline constexpr const char *TableFileLabel = "ﾃｰﾌﾞﾙﾌｧｲﾙ名：";
inline constexpr const char *InputLabel = "変換前ﾌｧｲﾙ名：";
inline constexpr const char *OutputLabel = "変換後ﾌｧｲﾙ名：";
inline constexpr const char *ReportCaption = "変換結果レポート";

inline constexpr const char *TableOpenTitle = "ﾃｰﾌﾞﾙﾌｧｲﾙの選択";
inline constexpr const char *TableSaveTitle = "ﾃｰﾌﾞﾙﾌｧｲﾙの保存";
inline constexpr const char *TableFilter = "Table Files(*.tbl)|*.tbl|All Files(*.*)|*.*";
inline constexpr const char *InputTitle = "変換前ﾌｧｲﾙの選択";
inline constexpr const char *OutputTitle = "変換後ﾌｧｲﾙの保存";

inline constexpr const char *NoInput = "変換前ファイルを選択して下さい！";
inline constexpr const char *NoOutput = "変換後ファイルを設定して下さい！";
inline constexpr const char *NoTable = "チェンジテーブルを設定して下さい！";

}  // namespace korvane::renumbermsg
