#pragma once
// Captions and messages of the main window and its file commands (UTF-8).

namespace menumain_text {

inline constexpr const char* ProductTitle = "ミブロクス";
inline constexpr const char* CaptionSeparator = " - ";

// Main menu
inline constexpr const char* Frame1 = "ﾒｲﾝﾒﾆｭｰ";
inline constexpr const char* CmdMenu[6] = {"計算条件の入力",     "陸側荷重条件の入力",
                                           "海側荷重条件の入力", "結果一覧表示",
                                           "結果印刷",           "連番条件設定"};
inline constexpr const char* CmdExit = "      ﾌﾟﾛｸﾞﾗﾑ終了";
inline constexpr const char* AnalysisError =
    "解析時にｴﾗｰが発生しました，入力ﾃﾞｰﾀを確認して下さい。";

// Exit
inline constexpr const char* ExitTitle = "ｱﾌﾟﾘｹｰｼｮﾝ終了";
inline constexpr const char* ExitQuestion =
    "現在編集中の入力ﾃﾞｰﾀがあります。上書き保存してから終了しますか？";
inline constexpr const char* ExitFileLabel = "編集中のﾌｧｲﾙ名：";

// Unsaved input before another file is opened
inline constexpr const char* OpenTitle = "ﾌｧｲﾙを開く";
inline constexpr const char* OpenQuestion =
    "現在編集中の入力ﾃﾞｰﾀは保存されていません。上書き保存してから開きますか？";

// File menu and toolbar
inline constexpr const char* MnuFile = "ﾌｧｲﾙ(&F)";
inline constexpr const char* MnuFileNew = "新規作成(&N)";
inline constexpr const char* MnuFileOpen = "ﾌｧｲﾙを開く(&O)...";
inline constexpr const char* MnuFileSaveAs = "ﾌｧｲﾙに名前を付けて保存(&A)...";
inline constexpr const char* MnuFileSave = "ﾌｧｲﾙの上書き保存(&A)...";
inline constexpr const char* MnuFileExit = "ﾌﾟﾛｸﾞﾗﾑ終了(&X)";
inline constexpr const char* MnuAbout = "&?";
inline constexpr const char* TipNew = "新規作成";
inline constexpr const char* TipOpen = "ﾌｧｲﾙを開く...";
inline constexpr const char* TipSaveAs = "ﾌｧｲﾙに名前を付けて保存...";
inline constexpr const char* TipSave = "ﾌｧｲﾙの上書き保存";

// File dialogs
inline constexpr const char* DialogFilter = "入力ﾃﾞｰﾀ(*.mbw)|*.mbw";
inline constexpr const char* DialogDefaultExt = ".mbw";
inline constexpr const char* OpenDialogTitle = "ﾌｧｲﾙを開く...";
inline constexpr const char* SaveAsDialogTitle = "ﾌｧｲﾙに名前を付けて保存...";

// File messages
inline constexpr const char* ConfirmNewText =
    "現在編集中の入力ﾃﾞｰﾀを全て破棄し，入力ﾃﾞｰﾀを初期化します。";
inline constexpr const char* ConfirmNewTitle = "新規作成";
inline constexpr const char* NotSupportedHead = "入力ﾃﾞｰﾀﾌｧｲﾙの書式（Ver.";
inline constexpr const char* NotSupportedTail = "）には現在対応しておりません。";
inline constexpr const char* NotSupportedTitle = "ﾌｧｲﾙを開く";
inline constexpr const char* ReadErrorText = "指定された入力ﾃﾞｰﾀﾌｧｲﾙの読み込みができませんでした。";
inline constexpr const char* ReadErrorTitle = "ﾃﾞｰﾀﾌｧｲﾙ読み込みｴﾗｰ";
inline constexpr const char* WriteErrorText = "入力ﾃﾞｰﾀﾌｧｲﾙを作成することができませんでした。";
inline constexpr const char* WriteErrorTitle = "ﾃﾞｰﾀﾌｧｲﾙ書き込みｴﾗｰ";
inline constexpr const char* ErrorCodeHead = "（ｴﾗｰｺｰﾄﾞ ： ";
inline constexpr const char* ErrorCodeFormat = "##,##0）";
inline constexpr const char* ErrorContact =
    "お問い合わせの際は，上記ｴﾗｰﾒｯｾｰｼﾞおよびｴﾗｰｺｰﾄﾞをお知らせください。";

}  // namespace menumain_text
