#pragma once
// Captions and messages of the page-setup dialog and the export option dialogs, UTF-8.

namespace pagesetup::texts {

inline constexpr const char* PageSetupCaption = "ﾍﾟｰｼﾞ設定";
inline constexpr const char* NoPrinter = "(未選択)";
inline constexpr const char* SaveFailed = "ﾍﾟｰｼﾞ設定を保存することができませんでした。";

inline constexpr const char* WordOptionCaption = "Word形式のｴｸｽﾎﾟｰﾄ...";
inline constexpr const char* PdfOptionCaption = "PDF形式のｴｸｽﾎﾟｰﾄ...";
inline constexpr const char* PdfCompress = "PDF形式ファイルを圧縮モードで作成する";

// The notices, each line ended by CR LF.
inline constexpr const char* WordNotice =
    "Word形式のｴｸｽﾎﾟｰﾄ機能を利用するためには ご利用のシステムに \r\n"
    "Word97 以上が必要です。\r\n"
    "使用するフォント・その他の問題でﾌﾟﾚﾋﾞｭｰ画面と同一の変換結果を得られ\r\n"
    "ない場合があります。予めご了承下さい。\r\n"
    "\r\n"
    "※Word2000についてはSP-3にアップグレードが必要です。\r\n";
inline constexpr const char* PdfNotice =
    "作成するPDF形式のﾌｧｲﾙは，Adobe Reader 等で正常に表示されますが，\r\n"
    "フォント・その他の問題でﾌﾟﾚﾋﾞｭｰ画面と同一の変換結果を得られない現象\r\n"
    "が希に発生します。予めご了承下さい。\r\n"
    "また，作成するPDFファイルは Adobe Acrobat を利用しても編集できませ\r\n"
    "んのでご注意下さい。以下の圧縮オプションのチェックボックスを外すと多\r\n"
    "少の編集が可能になる場合がありますが，ファイルサイズは平均で数倍程\r\n"
    "度大きくなります。\r\n";

}  // namespace pagesetup::texts
