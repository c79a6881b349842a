#pragma once
// Captions and messages of the print menu and the numbering-style form (UTF-8).

namespace report_ui_text {

inline constexpr const char* ProductTitle = "ミブロクス";

// Print menu
inline constexpr const char* MenuPrintCaption = "検討結果の印刷";
inline constexpr const char* MenuPrintFrame = "印刷項目指定";
inline constexpr const char* PrintItem[2] = {"計算条件", "計算結果"};
inline constexpr const char* CmdCheck[3] = {"全項目選択", "全項目選択解除", "全項目選択反転"};
inline constexpr const char* CmdPreview = "印刷(&P)";
inline constexpr const char* CmdClose = "閉じる(&C)";
inline constexpr const char* CmdHelp = "ﾍﾙﾌﾟ(&H)";
inline constexpr const char* ReportFailed[2] = {"･『計算条件』の印刷ﾌｧｲﾙ生成ｴﾗｰ",
                                                "･『計算結果』の印刷ﾌｧｲﾙ生成ｴﾗｰ"};
inline constexpr const char* NothingTicked = "印刷項目はひとつ以上選択して下さい。";
inline constexpr const char* JoinFailed = "印刷ﾌｧｲﾙの結合でｴﾗｰが発生しました。";
inline constexpr const char* PreviewFailed = "印刷ﾌﾟﾚﾋﾞｭｰを起動できませんでした。";

// Numbering-style form
inline constexpr const char* InpRenbanCaption = "連番条件設定";
inline constexpr const char* TabCaption[3] = {"表現方法", "連番種類", "左余白"};
inline constexpr const char* MethodFrame = "表現方法";
inline constexpr const char* MethodOption[4] = {"なし", "(章)／(節)…", "(章)－(節)…",
                                                "(章)．(節)…"};
inline constexpr const char* StyleLabel[4] = {"（章）に対して", "（節）に対して", "（項）に対して",
                                              "（№）に対して"};
inline constexpr const char* StyleEntry[9] = {
    "1,2,3,..99",         "(1),(2),(3) ...(99)", "1),2),3),.(99)",
    "(a),(b),(c),...(z)", "a),b),c),...z)",      "(i),(ii),(iii),...(x)",
    "i),ii),iii),...x)",  "①,②,③,...⑳",          "・,・,・,...・"};
inline constexpr const char* InitCaption = "（章）に対する初期値";
inline constexpr const char* MarginCaption[4] = {"（章）レベルに対して", "（節）レベルに対して",
                                                 "（項）レベルに対して", "（№）レベルに対して"};
inline constexpr const char* MarginNote = "※ 半角１文字幅を１単位とします";
inline constexpr const char* CmdOK = "OK(&O)";
inline constexpr const char* CmdCancel = "ｷｬﾝｾﾙ(&C)";
inline constexpr const char* IniWriteFailed = "設定ﾌｧｲﾙに書き込めませんでした。";

}  // namespace report_ui_text
