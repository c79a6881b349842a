// The File menu of the main window: New, Open, Save As, Save, the recent-file list.
#include <QAction>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "tests/support/MenuMainFixture.h"
#include "workspace/InputFile.h"
#include "workspace/ui/FileCommands.h"

namespace {

using Answer = UiServices::Answer;
const QString kReadErrorTitle = QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙ読み込みｴﾗｰ");

struct Fixture : MenuMainFixture {
    std::string iniValue(const char* key) const {
        return CPrivateProfile().GetValueStringUnlimited(ini(), "FileName", key);
    }
    void setRecent(const std::vector<std::string>& entries) const {
        for (size_t i = 0; i < entries.size(); ++i)
            setIni("FileName", "FileName" + std::to_string(i + 1), entries[i]);
    }
    std::vector<std::string> recent() const {
        std::vector<std::string> list;
        for (int n = 1; n <= 4; ++n)
            list.push_back(iniValue(("FileName" + std::to_string(n)).c_str()));
        return list;
    }
    // A valid version 1.10 file whose case name is `title`.
    std::string inputFile(const std::string& name, const char* title) const {
        InputModel model;
        model.InputDataSet = true;
        model.CondData(CondTitle) = Slot::text(title);
        int code = 0;
        const std::string p = path(name);
        if (!SaveInputFile(model, p, code)) qFatal("cannot write %s", p.c_str());
        return p;
    }
    std::string rawFile(const std::string& name, const std::string& bytes) const {
        const std::string p = path(name);
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    void chooseFile(const std::string& p) { ui.fileAnswers.push_back(QString::fromStdString(p)); }
    void editedModel() {
        state.Model.InputDataSet = true;
        state.Model.CondData(CondTitle) = Slot::text("kept");
        state.DataChanged = true;
    }
};

std::string fileBytes(const char* title, const char* version) {
    InputModel model;
    model.CondData(CondTitle) = Slot::text(title);
    std::string bytes;
    int code = 0;
    MakeInputFileBytes(model, bytes, code);
    const auto at = bytes.find("[1.10]");
    bytes.replace(at, 6, std::string("[") + version + "]");
    return bytes;
}

}  // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void recentListKeepsOrder();
    void errorTextsFormatTheCode();
    void openReadsFileAndRecordsIt();
    void openingAnEntryTwiceListedMovesTheLastCopy();
    void fifthFileDropsTheFourth();
    void failedReadKeepsModelPathAndCaption();
    void unsupportedVersionAndWrongExtensionKeepTheModel();
    void openReadsWhatSaveWroteAndRefusesOnlyTooLargeFiles();
    void unsavedEditsAreOfferedForSavingBeforeOpen();
    void newAsksAndResets();
    void cancelledSaveAsChangesNothing();
    void saveWritesAndFailedSaveReports();
    void recentEntryOpensItsFile();
    void recentEntryOfDeletedFileReportsCodeZero();
    void ampersandAndLongPathsInRecentEntries();
    void pathShiftJisCannotHoldIsNotRecorded();
};

void FileCommandsTest::recentListKeepsOrder() {
    const RecentFileList old{"A", "B", "C", "D"};
    QCOMPARE(RecentListAfterUse(old, "C"), (RecentFileList{"C", "A", "B", "D"}));
    QCOMPARE(RecentListAfterUse(old, "E"), (RecentFileList{"E", "A", "B", "C"}));
    QCOMPARE(RecentListAfterUse(old, "a"), (RecentFileList{"a", "A", "B", "C"}));  // case counts
    QCOMPARE(RecentListAfterUse({"A", "", "", ""}, "B"), (RecentFileList{"B", "A", "", ""}));
    QVERIFY(HasMbwExtension("/x/Y.MBW"));
    QVERIFY(HasMbwExtension("/x/y.mBw"));
    QVERIFY(!HasMbwExtension("/x/y.mbw.txt"));
    QVERIFY(!HasMbwExtension("bw"));
}

void FileCommandsTest::errorTextsFormatTheCode() {
    QCOMPARE(ReadErrorText(1234),
             QStringLiteral(
                 "指定された入力ﾃﾞｰﾀﾌｧｲﾙの読み込みができませんでした。（ｴﾗｰｺｰﾄﾞ ： 1,234）\n\n"
                 "お問い合わせの際は，上記ｴﾗｰﾒｯｾｰｼﾞおよびｴﾗｰｺｰﾄﾞをお知らせください。"));
    QCOMPARE(WriteErrorText(0),
             QStringLiteral("入力ﾃﾞｰﾀﾌｧｲﾙを作成することができませんでした。（ｴﾗｰｺｰﾄﾞ ： 0）\n\n"
                            "お問い合わせの際は，上記ｴﾗｰﾒｯｾｰｼﾞおよびｴﾗｰｺｰﾄﾞをお知らせください。"));
}

void FileCommandsTest::openReadsFileAndRecordsIt() {
    Fixture f;
    frmMenuMain& w = f.open();
    const std::string a = f.inputFile("a.mbw", "Case A");
    f.state.DataChanged = false;
    f.chooseFile(a);
    w.mnuFileOpen_Click();
    QCOMPARE(f.ui.dialogs.size(), size_t{1});
    const FileDialogRequest& r = f.ui.dialogs[0];
    QVERIFY(r.open);
    QCOMPARE(r.title, QStringLiteral("ﾌｧｲﾙを開く..."));
    QCOMPARE(r.initialDir, f.dir.path());  // no InitDir yet: the program folder
    QCOMPARE(r.filters, QStringList{QStringLiteral("入力ﾃﾞｰﾀ(*.mbw) (*.mbw *.MBW)")});
    QCOMPARE(r.defaultSuffix, QStringLiteral("mbw"));
    QVERIFY(r.fileMustExist && r.pathMustExist && !r.overwritePrompt);
    QVERIFY(f.ui.messages.empty());
    QCOMPARE(f.state.Model.CondData(CondTitle), Slot::text("Case A"));
    QCOMPARE(f.state.CurrentFilePath, a);
    QCOMPARE(w.windowTitle(), QStringLiteral("ミブロクス - a.mbw"));
    QCOMPARE(f.recent(), (std::vector<std::string>{a, "", "", ""}));
    QCOMPARE(w.mnuFileName(0)->text(), RecentEntryCaption(1, a));
    QVERIFY(w.mnuFileName(0)->isEnabled());
    QVERIFY(!w.mnuFileName(1)->isEnabled());
    QCOMPARE(f.iniValue("InitDir"), f.dir.path().toStdString());

    // The next open starts in InitDir.
    QTemporaryDir other;
    CPrivateProfile().SetValueString(f.ini(), "FileName", "InitDir", other.path().toStdString());
    f.ui.fileAnswers.push_back(std::nullopt);
    w.mnuFileOpen_Click();
    QCOMPARE(f.ui.dialogs.back().initialDir, other.path());
}

void FileCommandsTest::openingAnEntryTwiceListedMovesTheLastCopy() {
    Fixture f;
    const std::string a = f.inputFile("a.mbw", "A");
    f.setRecent({a, "B", a, "C"});
    frmMenuMain& w = f.open();
    f.chooseFile(a);
    w.mnuFileOpen_Click();
    QCOMPARE(f.recent(), (std::vector<std::string>{a, a, "B", "C"}));
}

void FileCommandsTest::fifthFileDropsTheFourth() {
    Fixture f;
    f.setRecent({"A", "B", "C", "D"});
    frmMenuMain& w = f.open();
    const std::string e = f.inputFile("e.MBW", "E");  // upper-case extension passes
    f.chooseFile(e);
    w.mnuFileOpen_Click();
    QVERIFY(f.ui.messages.empty());
    QCOMPARE(f.recent(), (std::vector<std::string>{e, "A", "B", "C"}));
    QCOMPARE(w.mnuFileName(3)->text(), QStringLiteral("&4 C"));
}

void FileCommandsTest::failedReadKeepsModelPathAndCaption() {
    Fixture f;
    frmMenuMain& w = f.open();
    const std::string good = f.inputFile("good.mbw", "Good");
    f.chooseFile(good);
    w.mnuFileOpen_Click();
    std::string cut = fileBytes("Cut", "1.10");
    cut.resize(cut.size() - 5);  // inside the count lines
    f.chooseFile(f.rawFile("cut.mbw", cut));
    w.mnuFileOpen_Click();
    QCOMPARE(f.ui.messages.size(), size_t{1});
    QCOMPARE(f.ui.messages[0].title, kReadErrorTitle);
    QCOMPARE(f.ui.messages[0].icon, UiServices::Icon::Critical);
    QVERIFY(f.ui.messages[0].text.contains(QStringLiteral("（ｴﾗｰｺｰﾄﾞ ： 62）")));
    QCOMPARE(f.state.Model.CondData(CondTitle), Slot::text("Good"));
    QCOMPARE(f.state.CurrentFilePath, good);
    QCOMPARE(w.windowTitle(), QStringLiteral("ミブロクス - good.mbw"));
    QCOMPARE(f.recent()[0], good);
}

void FileCommandsTest::unsupportedVersionAndWrongExtensionKeepTheModel() {
    Fixture f;
    frmMenuMain& w = f.open();
    f.state.Model.CondData(CondTitle) = Slot::text("kept");
    f.chooseFile(f.rawFile("v2.mbw", fileBytes("V2", "2.00")));
    w.mnuFileOpen_Click();
    QCOMPARE(f.ui.messages.size(), size_t{2});
    QCOMPARE(f.ui.messages[0].text,
             QStringLiteral("入力ﾃﾞｰﾀﾌｧｲﾙの書式（Ver.2.00）には現在対応しておりません。"));
    QCOMPARE(f.ui.messages[0].title, QStringLiteral("ﾌｧｲﾙを開く"));
    QCOMPARE(f.ui.messages[0].icon, UiServices::Icon::Critical);
    QCOMPARE(f.ui.messages[1].text, ReadErrorText(0));
    QCOMPARE(f.state.Model.CondData(CondTitle), Slot::text("kept"));
    QVERIFY(f.state.CurrentFilePath.empty());
    QCOMPARE(w.windowTitle(), QStringLiteral("ミブロクス"));

    f.ui.messages.clear();
    f.chooseFile(f.rawFile("x.mbw.txt", fileBytes("X", "1.10")));
    w.mnuFileOpen_Click();
    QCOMPARE(f.ui.messages.size(), size_t{1});
    QCOMPARE(f.ui.messages[0].text, ReadErrorText(0));
    QCOMPARE(f.state.Model.CondData(CondTitle), Slot::text("kept"));
    QCOMPARE(f.recent()[0], std::string());
}

// A case name of more than 1 MiB saved fine, but the version probe refused the file, and Open
// said that the version "error" was not supported.
void FileCommandsTest::openReadsWhatSaveWroteAndRefusesOnlyTooLargeFiles() {
    Fixture f;
    frmMenuMain& w = f.open();
    const std::string longName(1536 * 1024, 'n');
    f.chooseFile(f.inputFile("long.mbw", longName.c_str()));
    w.mnuFileOpen_Click();
    QVERIFY(f.ui.messages.empty());
    QCOMPARE(f.state.Model.CondData(CondTitle), Slot::text(longName));

    f.chooseFile(f.rawFile("huge.mbw", fileBytes(std::string(3 << 20, 'n').c_str(), "1.10")));
    w.mnuFileOpen_Click();
    QCOMPARE(f.ui.messages.size(), size_t{1});
    QCOMPARE(f.ui.messages[0].text, ReadErrorText(inputfile::kErrTooLarge));
}

// Opening used to ask the exit question ("...終了しますか？", "ｱﾌﾟﾘｹｰｼｮﾝ終了").
void FileCommandsTest::unsavedEditsAreOfferedForSavingBeforeOpen() {
    Fixture f;
    frmMenuMain& w = f.open();
    const std::string a = f.inputFile("a.mbw", "A");
    f.editedModel();
    f.state.CurrentFilePath = f.path("old.mbw");
    // Cancel: nothing opens.
    f.ui.answers.push_back(Answer::Cancel);
    w.mnuFileOpen_Click();
    QCOMPARE(f.ui.messages.size(), size_t{1});
    QCOMPARE(f.ui.messages[0].title, QStringLiteral("ﾌｧｲﾙを開く"));
    QCOMPARE(
        f.ui.messages[0].text,
        QStringLiteral("現在編集中の入力ﾃﾞｰﾀは保存されていません。上書き保存してから開きますか？"
                       "\n\n編集中のﾌｧｲﾙ名：") +
            QString::fromStdString(f.path("old.mbw")));
    QCOMPARE(f.ui.messages[0].buttons, UiServices::Buttons::YesNoCancel);
    f.state.CurrentFilePath.clear();
    QVERIFY(f.ui.dialogs.empty());
    // Yes with a cancelled Save As: nothing opens either.
    f.ui.answers.push_back(Answer::Yes);
    f.ui.fileAnswers.push_back(std::nullopt);
    w.mnuFileOpen_Click();
    QCOMPARE(f.ui.dialogs.size(), size_t{1});
    QVERIFY(!f.ui.dialogs[0].open);
    QCOMPARE(f.state.Model.CondData(CondTitle), Slot::text("kept"));
    // No: the file opens and the flag is cleared.
    f.ui.answers.push_back(Answer::No);
    f.chooseFile(a);
    w.mnuFileOpen_Click();
    QCOMPARE(f.state.Model.CondData(CondTitle), Slot::text("A"));
    QVERIFY(!f.state.DataChanged);
}

void FileCommandsTest::newAsksAndResets() {
    Fixture f;
    frmMenuMain& w = f.open();
    f.state.Model.InputDataSet = true;
    f.state.CurrentFilePath = f.path("a.mbw");
    f.ui.answers.push_back(Answer::Cancel);
    w.mnuFileNew_Click();
    QCOMPARE(f.ui.messages.back().text,
             QStringLiteral("現在編集中の入力ﾃﾞｰﾀを全て破棄し，入力ﾃﾞｰﾀを初期化します。"));
    QCOMPARE(f.ui.messages.back().title, QStringLiteral("新規作成"));
    QCOMPARE(f.ui.messages.back().buttons, UiServices::Buttons::OkCancel);
    QVERIFY(f.state.Model.InputDataSet);

    // Unsaved input: only the confirm-new question, which says the input is discarded.
    f.state.DataChanged = true;
    f.ui.answers = {Answer::Ok};
    w.tbrMenu_ButtonClick(QStringLiteral("New"));
    QCOMPARE(f.ui.messages.size(), size_t{2});
    QCOMPARE(f.ui.messages.back().title, QStringLiteral("新規作成"));
    QVERIFY(!f.state.Model.InputDataSet);
    QVERIFY(f.state.CurrentFilePath.empty());
    QVERIFY(!f.state.DataChanged);
    QCOMPARE(w.windowTitle(), QStringLiteral("ミブロクス"));
}

void FileCommandsTest::cancelledSaveAsChangesNothing() {
    Fixture f;
    frmMenuMain& w = f.open();
    f.editedModel();
    f.state.CurrentFilePath = f.path("a.mbw");
    f.ui.fileAnswers.push_back(std::nullopt);
    w.mnuFileSaveAs_Click();
    const FileDialogRequest& r = f.ui.dialogs.at(0);
    QVERIFY(!r.open);
    QCOMPARE(r.title, QStringLiteral("ﾌｧｲﾙに名前を付けて保存..."));
    QCOMPARE(r.initialFile, QString::fromStdString(f.path("a.mbw")));
    QVERIFY(r.overwritePrompt);
    QVERIFY(f.state.DataChanged);
    QCOMPARE(f.state.CurrentFilePath, f.path("a.mbw"));
    QVERIFY(!QFileInfo::exists(QString::fromStdString(f.path("a.mbw"))));
    QVERIFY(f.ui.messages.empty());
    QVERIFY(!f.iniValue("InitDir").empty());
}

void FileCommandsTest::saveWritesAndFailedSaveReports() {
    Fixture f;
    frmMenuMain& w = f.open();
    f.editedModel();
    // No current file: Save is Save As.
    f.chooseFile(f.path("s.mbw"));
    w.mnuFileSave_Click();
    QCOMPARE(f.state.CurrentFilePath, f.path("s.mbw"));
    QCOMPARE(w.windowTitle(), QStringLiteral("ミブロクス - s.mbw"));
    QVERIFY(!f.state.DataChanged);
    QCOMPARE(f.recent()[0], f.path("s.mbw"));

    // Current file: written without a dialog.
    f.state.Model.CondData(CondTitle) = Slot::text("second");
    f.state.DataChanged = true;
    w.tbrMenu_ButtonClick(QStringLiteral("Save"));
    QCOMPARE(f.ui.dialogs.size(), size_t{1});
    InputModel read;
    int code = 0;
    QVERIFY(LoadInputFile(read, f.path("s.mbw"), code));
    QCOMPARE(read.CondData(CondTitle), Slot::text("second"));

    // A folder that does not exist: the write error with its code, the state kept.
    f.state.DataChanged = true;
    f.state.CurrentFilePath = f.path("none/t.mbw");
    w.mnuFileSave_Click();
    QCOMPARE(f.ui.messages.size(), size_t{1});
    QCOMPARE(f.ui.messages[0].title, QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙ書き込みｴﾗｰ"));
    QVERIFY(f.ui.messages[0].text.startsWith(
        QStringLiteral("入力ﾃﾞｰﾀﾌｧｲﾙを作成することができませんでした。（ｴﾗｰｺｰﾄﾞ ： ")));
    QVERIFY(f.state.DataChanged);
    QCOMPARE(f.recent()[0], f.path("s.mbw"));
}

void FileCommandsTest::recentEntryOpensItsFile() {
    Fixture f;
    QTemporaryDir sub;
    const std::string b = f.inputFile("b.mbw", "B");
    f.setRecent({"X", b});
    frmMenuMain& w = f.open();
    QVERIFY(w.mnuFileName(1)->isEnabled());
    QVERIFY(!w.mnuFileName(2)->isEnabled());
    f.state.DataChanged = true;
    f.ui.answers.push_back(Answer::No);
    w.mnuFileName(1)->trigger();
    QCOMPARE(f.ui.messages.size(), size_t{1});  // only the save question
    QCOMPARE(f.ui.messages[0].title, QStringLiteral("ﾌｧｲﾙを開く"));
    QCOMPARE(f.state.Model.CondData(CondTitle), Slot::text("B"));
    QCOMPARE(f.state.CurrentFilePath, b);
    QCOMPARE(w.windowTitle(), QStringLiteral("ミブロクス - b.mbw"));
    QCOMPARE(f.recent(), (std::vector<std::string>{b, "X", "", ""}));
    QCOMPARE(f.iniValue("InitDir"), f.dir.path().toStdString());
    QVERIFY(!f.state.DataChanged);
}

void FileCommandsTest::recentEntryOfDeletedFileReportsCodeZero() {
    Fixture f;
    f.setRecent({f.path("gone.mbw"), "", f.path("v2.mbw")});
    f.rawFile("v2.mbw", fileBytes("V2", "2.00"));
    frmMenuMain& w = f.open();
    QVERIFY(!w.mnuFileName(1)->isEnabled());  // entries are independent
    QVERIFY(w.mnuFileName(2)->isEnabled());
    f.state.Model.CondData(CondTitle) = Slot::text("kept");
    for (int index : {0, 2}) {
        f.ui.messages.clear();
        w.mnuFileName_Click(index);
        QCOMPARE(f.ui.messages.size(), size_t{1});  // no version message of its own
        QCOMPARE(f.ui.messages[0].title, kReadErrorTitle);
        QCOMPARE(f.ui.messages[0].text, ReadErrorText(0));
        QCOMPARE(f.state.Model.CondData(CondTitle), Slot::text("kept"));
    }
}

void FileCommandsTest::ampersandAndLongPathsInRecentEntries() {
    Fixture f;
    const std::string longFolder = std::string(150, 'l');
    QVERIFY(QDir(f.dir.path()).mkpath(QString::fromStdString(longFolder + "/R&D")));
    const std::string p = f.inputFile(longFolder + "/R&D/a&b.mbw", "amp");
    QVERIFY(p.size() > 160);  // beyond the 127-byte string read
    frmMenuMain& w = f.open();
    f.chooseFile(p);
    w.mnuFileOpen_Click();
    QVERIFY(f.ui.messages.empty());
    QCOMPARE(f.recent()[0], p);
    QCOMPARE(w.mnuFileName(0)->text(),
             QStringLiteral("&1 ") +
                 QString::fromStdString(p).replace(QStringLiteral("&"), QStringLiteral("&&")));
    QCOMPARE(f.iniValue("InitDir"), f.path(longFolder + "/R&D"));

    // A restart reads the long entry whole and opens it again.
    f.window.reset();
    frmMenuMain& again = f.open();
    QCOMPARE(again.mnuFileName(0)->text(), RecentEntryCaption(1, p));
    again.mnuFileName_Click(0);
    QVERIFY(f.ui.messages.empty());
    QCOMPARE(f.state.CurrentFilePath, p);
}

void FileCommandsTest::pathShiftJisCannotHoldIsNotRecorded() {
    Fixture f;
    f.setRecent({"A"});
    frmMenuMain& w = f.open();
    const std::string p = f.inputFile("caf\xC3\xA9\xF0\x9F\x98\x80.mbw", "emoji");  // "café😀"
    f.chooseFile(p);
    w.mnuFileOpen_Click();
    QVERIFY(f.ui.messages.empty());
    QCOMPARE(f.state.CurrentFilePath, p);
    QCOMPARE(f.recent(), (std::vector<std::string>{"A", "", "", ""}));
}

QTEST_MAIN(FileCommandsTest)
#include "FileCommands_qtest.moc"
