// Start-up set-up: the font substitution table and Qt's Japanese button texts.

#include <QDir>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>
#include <QtTest>

#include "foundation/ui/AppSetup.h"

class AppSetupTest : public QObject {
    Q_OBJECT

  private slots:
    void mapsTheFileFacesToTheIpaFamilies() {
        InstallFontSubstitutions();
        // Qt keeps substitutes in lower case.
        for (const FontSubstitution& entry : FontSubstitutionTable()) {
            QCOMPARE(QFont::substitute(entry.family), entry.substitute.toLower());
        }
        QCOMPARE(FontSubstitutionTable().size(), std::size_t{4});
        QCOMPARE(QFont::substitute(QStringLiteral("ＭＳ Ｐゴシック")),
                 QStringLiteral("ipapgothic"));
    }

    void loadsTheJapaneseButtonTextsWhenInstalled() {
        const QDir folder(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        const std::unique_ptr<QTranslator> translator =
            InstallQtTranslation(*QCoreApplication::instance());
        if (!folder.exists(QStringLiteral("qtbase_ja.qm"))) {
            QVERIFY(translator == nullptr);
            QSKIP("qtbase_ja.qm is not installed");
        }
        QVERIFY(translator != nullptr);
        QVERIFY(QCoreApplication::translate("QPlatformTheme", "Cancel") !=
                QStringLiteral("Cancel"));
    }
};

QTEST_MAIN(AppSetupTest)
#include "AppSetup_qtest.moc"
