#include "foundation/ui/AppSetup.h"

#include <QCoreApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

std::vector<FontSubstitution> FontSubstitutionTable() {
    return {
        {QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho")},
        {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")},
        {QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho")},
        {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")},
    };
}

void InstallFontSubstitutions() {
    for (const FontSubstitution& entry : FontSubstitutionTable()) {
        QFont::insertSubstitution(entry.family, entry.substitute);
    }
}

std::unique_ptr<QTranslator> InstallQtTranslation(QCoreApplication& app) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return nullptr;
    }
    if (!app.installTranslator(translator.get())) return nullptr;
    return translator;
}
