#pragma once
// Messages of the Word export, as the program shows them (UTF-8).

namespace word::texts {

inline constexpr const char* MessageTitle = "印刷ﾌﾟﾚﾋﾞｭｰ";
inline constexpr const char* NoWordProcessor =
    "ご利用のシステムには，Microsoft Word がインストールされていません。\r\n"
    "Word形式でエクスポートするためには Microsoft Word 97/98以上 が必要です。";
inline constexpr const char* ExportFailed =
    "Word形式でエクスポート中にエラーを検出しました。Word出力を中止します。\r\n"
    "問題が解決しない場合は，お手数ですが出力データを添付の上，有限会社ハルヴォレンまでご連絡下さい"
    "。";
inline constexpr const char* ExportTooLarge =
    "Word形式でエクスポートするデータが処理できる量を超えたため，Word出力を中止しました。\r\n"
    "出力するページや図を減らしてから，もう一度エクスポートして下さい。";

// Font names the export falls back on or sets itself.
inline constexpr const char* DefaultBodyFont = "ＭＳ 明朝";
inline constexpr const char* OtherCharactersFont = "Century";

}  // namespace word::texts
