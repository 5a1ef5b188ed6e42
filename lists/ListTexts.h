#pragma once
// Captions, headings and file dialog texts of the usage lists.

namespace korvane::listmsg {

inline constexpr const char *DisplayedData = "表示データ";

inline constexpr const char *DcodeCaption = "使用Dコード一覧";
inline constexpr const char *DcodeFileLabel = "ファイル名：";
inline constexpr const char *ToolCaption = "使用ツール番号の表示";
inline constexpr const char *ToolFileLabel = "ﾌｧｲﾙ名：";

inline constexpr const char *DcodeColumns[] = {"No.", "Dｺｰﾄﾞ", "ﾌﾗｯｼｭ", " ﾄﾞﾛｰ"};
inline constexpr const char *ToolColumns[] = {"No.", " Tool", " ｶｳﾝﾄ", " 穴径"};

inline constexpr const char *PrintButton = "印  刷";
inline constexpr const char *CloseButton = "閉じる";
inline constexpr const char *SaveButton = "保  存";

inline constexpr const char *GerberOpenTitle = "ｶﾞｰﾊﾞｰﾌｧｲﾙの選択";
inline constexpr const char *DrillOpenTitle = "ﾄﾞﾘﾙﾌｧｲﾙの選択";
inline constexpr const char *DcodeSaveTitle = "Dcode一覧表の保存";
inline constexpr const char *DcodeSaveFilter = "Dcode Log Files(*.log)|*.log|All Files(*.*)|*.*";
inline constexpr const char *ToolSaveTitle = "Tool一覧表の保存";
inline constexpr const char *ToolSaveFilter = "Tool Log Files(*.log)|*.log|All Files(*.*)|*.*";

}  // namespace korvane::listmsg
