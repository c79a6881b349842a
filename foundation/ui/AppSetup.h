#pragma once
// Start-up set-up of the Qt application shared by both programs: the Japanese fonts that
// stand in for the faces the files name, and Qt's Japanese texts for its standard buttons
// and dialogs. Called once from main() after the QApplication exists.

#include <QString>
#include <memory>
#include <vector>

class QCoreApplication;
class QTranslator;

// One entry of the font substitution table: the face the files name, the installed family.
struct FontSubstitution {
    QString family;
    QString substitute;
};

// "ＭＳ 明朝" -> "IPAMincho", "ＭＳ ゴシック" -> "IPAGothic", "ＭＳ Ｐ明朝" -> "IPAPMincho",
// "ＭＳ Ｐゴシック" -> "IPAPGothic".
std::vector<FontSubstitution> FontSubstitutionTable();

// Registers the table with QFont::insertSubstitution.
void InstallFontSubstitutions();

// Loads "qtbase_ja" from Qt's translations folder and installs it in `app`. The caller keeps
// the returned translator alive while the application runs; nullptr when it is not installed.
std::unique_ptr<QTranslator> InstallQtTranslation(QCoreApplication& app);
