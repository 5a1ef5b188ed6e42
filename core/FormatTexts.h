#pragma once
// Captions of the four format dialogs, shared by the dialogs and by the
// batch front end's description of a settings file.
namespace korvane::formattext {

inline constexpr const char *GerberInCaption = "ガーバー入力フォーマット";
inline constexpr const char *GerberOutCaption = "ガーバー出力フォーマット";
inline constexpr const char *DrillInCaption = "ドリル入力フォーマット";
inline constexpr const char *DrillOutCaption = "ドリル出力フォーマット";

inline constexpr const char *Format = "フォーマット";
inline constexpr const char *Rs274D = "RS274D";
inline constexpr const char *Rs274X = "RS274X";
inline constexpr const char *Code = "コード";
inline constexpr const char *Ascii = "ASCII";
inline constexpr const char *Ebcdic = "EBCDIC";
inline constexpr const char *Eia = "EIA";
inline constexpr const char *Unit = "ユニット";
inline constexpr const char *UnitMmIn = "ミ  リ";
inline constexpr const char *UnitInchIn = "インチ";
inline constexpr const char *ZeroSuppress = "ゼロサプレス";
inline constexpr const char *LZ = "LZ";
inline constexpr const char *TZ = "TZ";
inline constexpr const char *CoordinateSystem = "座標系";
inline constexpr const char *Absolute = "絶対座標";
inline constexpr const char *Incremental = "相対座標";
inline constexpr const char *Arc = "円  弧";
inline constexpr const char *FullCircle = "全円弧";
inline constexpr const char *QuarterCircle = "１／４円弧";
inline constexpr const char *DigitsIn = "桁  数";
inline constexpr const char *IntegerPartIn = "整 数 部";
inline constexpr const char *DecimalPartIn = "小 数 部";
inline constexpr const char *X0Y0Data = "X0Y0データ";
inline constexpr const char *X0Y0NoHit = "ﾋｯﾄ認識なし";
inline constexpr const char *X0Y0Hit = "ﾋｯﾄ認識あり";

inline constexpr const char *InitCommand = "初期コマンド";
inline constexpr const char *EndCommand = "終了コマンド";
inline constexpr const char *ToolSelect = "ツール選択";
inline constexpr const char *HitCommand = "ヒットコマンド";
inline constexpr const char *ToolChange = "ツールチェンジ";
inline constexpr const char *RecordLength = "レコード長";
inline constexpr const char *EobNewline = "EOB改行";
inline constexpr const char *FullRecordGerber = "Fullﾚｺｰﾄﾞ";
inline constexpr const char *FullRecordDrill = "Fullレコード";
inline constexpr const char *Modal = "モーダル";
inline constexpr const char *ModalG = "Gコード";
inline constexpr const char *ModalD = "Dコード";
inline constexpr const char *ModalGD = "G，Dコード";
inline constexpr const char *ModalNone = "しない";
inline constexpr const char *EobCode = "EOBコード(*)";
inline constexpr const char *Attach = "付ける";
inline constexpr const char *DoNotAttach = "付けない";
inline constexpr const char *G54 = "G54";
inline constexpr const char *ZeroData = "ゼロデータ";
inline constexpr const char *ZeroDataAll = "全て出力";
inline constexpr const char *ZeroDataAddress = "X/Yアドレス";
inline constexpr const char *ZeroDataOmit = "全て省略";
inline constexpr const char *Leading = "リーディング";
inline constexpr const char *NoSuppression = "しない";
inline constexpr const char *InchMm = "インチ／ミリ";
inline constexpr const char *MmSystemGerber = "ミリ系";
inline constexpr const char *MmSystemDrill = "ミ  リ系";
inline constexpr const char *InchSystem = "インチ系";
inline constexpr const char *DigitsOut = "桁 数";
inline constexpr const char *IntegerPartOut = "整数部";
inline constexpr const char *DecimalPartOut = "小数部";
inline constexpr const char *ToolDigits = "ツール桁数";
inline constexpr const char *ToolDigits1 = "1桁（T1)";
inline constexpr const char *ToolDigits2 = "2桁（T01)";
inline constexpr const char *Offset = "オフセット";

inline constexpr const char *Load = "ロード";
inline constexpr const char *Save = "セーブ";
inline constexpr const char *Close = "閉じる";
inline constexpr const char *Aperture = "アパーチャ";

}  // namespace korvane::formattext
