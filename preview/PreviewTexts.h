#pragma once
// Captions and messages of Preview, as the program shows them (UTF-8).

namespace preview::texts {

inline constexpr const char* ProgramTitle = "印刷ﾌﾟﾚﾋﾞｭｰ";
inline constexpr const char* EmptyCommandLine =
    "印刷ﾌｧｲﾙを印刷ﾌﾟﾚﾋﾞｭｰｱｲｺﾝにｴｸｽﾌﾟﾛｰﾗなどからDrag & Dropで指定して下さい。";
inline constexpr const char* VersionWord = "  Version ";
inline constexpr const char* HelpHint = "　ﾍﾙﾌﾟを表示するには[F1]を押して下さい。";
inline constexpr const char* LegalNotice =
    "Copyright (C) Halvoren. 本ソフトウェアの著作権はHalvorenに帰属します。";
// A document more than the preview holds: the page it was cut at (%1) and the file's path
// follow.
inline constexpr const char* DocumentTruncated =
    "文書が大きすぎるため、%1ﾍﾟｰｼﾞ目で打ち切りました。";

// Tag of an outline heading: "%TOC|<level>|<heading>".
inline constexpr const char* OutlineTagPrefix = "%TOC|";

// Note in the corner of a page whose drawing was stopped because it costs too much.
inline constexpr const char* PageDrawCut =
    "描画量が多すぎるため、このﾍﾟｰｼﾞは途中までしか表示していません";
// A PDF export stopped because the document costs too much to draw: the page (%1) follows.
inline constexpr const char* PdfExportTooLarge =
    "文書の描画量が多すぎるため、PDFを作成できません（%1ﾍﾟｰｼﾞ目で中止しました）";

}  // namespace preview::texts
