// The file-dialog class: filter conversion, the request it builds and the result handling.
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QListView>
#include <QTemporaryDir>
#include <QTreeView>
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
    void filterShowsItsTextAndMatchesUpperCase();
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

// The filter read "入力ﾃﾞｰﾀ(*.mbw) (*.mbw *.MBW)" and the date column was cut off.
void CFileDialogTest::filterShowsItsTextAndMatchesUpperCase() {
    QTemporaryDir dir;
    for (const char* name : {"a.mbw", "B.MBW", "c.txt"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    FakeUiServices ui;
    CFileDialog files(ui);
    files.setFilter(QStringLiteral("入力ﾃﾞｰﾀ(*.mbw)|*.mbw"));
    files.setFilterIndex(1);
    files.setInitialDir(dir.path());
    QFileDialog dialog;
    ConfigureFileDialog(dialog, files.request(true));
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(types != nullptr);
    QCOMPARE(types->count(), 1);
    QCOMPARE(types->itemText(0), QStringLiteral("入力ﾃﾞｰﾀ(*.mbw)"));

    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    QVERIFY(view != nullptr);
    QStringList shown;
    QTRY_COMPARE((shown.clear(),
                  [&] {
                      for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r) {
                          const QModelIndex i = view->model()->index(r, 0, view->rootIndex());
                          if (!view->isRowHidden(r, view->rootIndex()) &&
                              (view->model()->flags(i) & Qt::ItemIsEnabled)) {
                              shown << i.data().toString();
                          }
                      }
                      shown.sort();
                      return shown;
                  }()),
                 (QStringList{QStringLiteral("B.MBW"), QStringLiteral("a.mbw")}));

    // Every column is wider than its texts (the name column also holds an icon).
    const QHeaderView* header = view->header();
    const QFontMetrics metrics(view->font());
    const QModelIndex root = view->rootIndex();
    for (int c = 0; c < header->count(); ++c) {
        if (header->isSectionHidden(c)) continue;
        int needed =
            metrics.horizontalAdvance(view->model()->headerData(c, Qt::Horizontal).toString());
        for (int r = 0; r < view->model()->rowCount(root); ++r) {
            const QString text = view->model()->index(r, c, root).data().toString();
            needed = std::max(needed, metrics.horizontalAdvance(text) +
                                          (c == 0 ? view->iconSize().width() + 4 : 0));
        }
        QVERIFY2(header->sectionSize(c) > needed, qPrintable(QStringLiteral("column %1: %2 <= %3")
                                                                 .arg(c)
                                                                 .arg(header->sectionSize(c))
                                                                 .arg(needed)));
    }
}

QTEST_MAIN(CFileDialogTest)
#include "CFileDialog_qtest.moc"
