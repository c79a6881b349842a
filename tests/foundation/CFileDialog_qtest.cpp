// The file-dialog class: filter conversion, the request it builds and the result handling.
#include <QtTest>

#include "foundation/ui/CFileDialog.h"
#include "tests/support/FakeUiServices.h"

class CFileDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void filterPairsBecomeNameFilters_data();
    void filterPairsBecomeNameFilters();
    void requestCarriesFlagsIndexAndExtension();
    void cancelKeepsFileNameAndTitle();
    void chosenFileSetsNameAndTitleWithoutLengthLimit();
};

void CFileDialogTest::filterPairsBecomeNameFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("input files") << QStringLiteral("入力ﾃﾞｰﾀ(*.mbw)|*.mbw")
                                 << QStringList{QStringLiteral("入力ﾃﾞｰﾀ(*.mbw) (*.mbw *.MBW)")};
    QTest::newRow("two pairs, several patterns")
        << QStringLiteral("PDF|*.pdf|Text|*.txt;*.log")
        << QStringList{QStringLiteral("PDF (*.pdf *.PDF)"),
                       QStringLiteral("Text (*.txt *.TXT *.log *.LOG)")};
    QTest::newRow("all files keep one pattern")
        << QStringLiteral("All|*.*") << QStringList{QStringLiteral("All (*.*)")};
    QTest::newRow("description without pattern dropped")
        << QStringLiteral("A|*.a|B") << QStringList{QStringLiteral("A (*.a *.A)")};
    QTest::newRow("empty") << QString() << QStringList{};
}

void CFileDialogTest::filterPairsBecomeNameFilters() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(FilterToNameFilters(filter), expected);
}

void CFileDialogTest::requestCarriesFlagsIndexAndExtension() {
    FakeUiServices ui;
    CFileDialog dialog(ui);
    dialog.setFilter(QStringLiteral("A|*.a|B|*.b"));
    dialog.setFilterIndex(2);
    dialog.setDefaultExt(QStringLiteral(".mbw"));
    dialog.setDialogTitle(QStringLiteral("ﾌｧｲﾙを開く..."));
    dialog.setInitialDir(QStringLiteral("/data"));
    dialog.setFileName(QStringLiteral("/data/x.mbw"));
    dialog.setFlags(0x1804);
    FileDialogRequest open = dialog.request(true);
    QVERIFY(open.open);
    QCOMPARE(open.filterIndex, 1);
    QCOMPARE(open.defaultSuffix, QStringLiteral("mbw"));
    QCOMPARE(open.title, QStringLiteral("ﾌｧｲﾙを開く..."));
    QCOMPARE(open.initialDir, QStringLiteral("/data"));
    QCOMPARE(open.initialFile, QStringLiteral("/data/x.mbw"));
    QVERIFY(open.fileMustExist);
    QVERIFY(open.pathMustExist);
    QVERIFY(!open.overwritePrompt);

    dialog.setFlags(0x1806);
    dialog.setFilterIndex(0);  // no custom filter: the first pair
    const FileDialogRequest save = dialog.request(false);
    QVERIFY(!save.open);
    QVERIFY(save.overwritePrompt);
    QCOMPARE(save.filterIndex, 0);
    dialog.setFilterIndex(7);
    QCOMPARE(dialog.request(false).filterIndex, 0);
}

void CFileDialogTest::cancelKeepsFileNameAndTitle() {
    FakeUiServices ui;
    CFileDialog dialog(ui);
    dialog.setFileName(QStringLiteral("/a/b.mbw"));
    dialog.setFileTitle(QStringLiteral("b.mbw"));
    ui.fileAnswers.push_back(std::nullopt);
    QVERIFY(!dialog.Show(true));
    QCOMPARE(ui.dialogs.size(), size_t{1});
    QCOMPARE(dialog.FileName(), QStringLiteral("/a/b.mbw"));
    QCOMPARE(dialog.FileTitle(), QStringLiteral("b.mbw"));
}

void CFileDialogTest::chosenFileSetsNameAndTitleWithoutLengthLimit() {
    FakeUiServices ui;
    CFileDialog dialog(ui);
    const QString folder = QStringLiteral("/") + QString(300, QLatin1Char('d'));
    dialog.setFileName(folder + QStringLiteral("/old.mbw"));  // longer than 260: still shown
    ui.fileAnswers.push_back(folder + QStringLiteral("/新しい.MBW"));
    QVERIFY(dialog.Show(false));
    QCOMPARE(dialog.FileName(), folder + QStringLiteral("/新しい.MBW"));
    QCOMPARE(dialog.FileTitle(), QStringLiteral("新しい.MBW"));
}

QTEST_MAIN(CFileDialogTest)
#include "CFileDialog_qtest.moc"
