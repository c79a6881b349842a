#pragma once
// The open and save dialogs behind a set of properties and one Show call, for both programs.
// The caller sets the properties, calls Show and on success reads FileName and FileTitle.
// The dialog itself runs through UiServices (a non-native QFileDialog in the product).
//
// Filter is the "|"-separated list of description and pattern pairs, e.g.
// "入力ﾃﾞｰﾀ(*.mbw)|*.mbw"; FilterIndex is 1-based. Paths are not limited in length.

#include <QString>
#include <QStringList>
#include <cstdint>

#include "foundation/ui/UiServices.h"

class QWidget;

// Option bits understood by Show.
constexpr std::int32_t OFN_OVERWRITEPROMPT = 0x2;
constexpr std::int32_t OFN_HIDEREADONLY = 0x4;
constexpr std::int32_t OFN_PATHMUSTEXIST = 0x800;
constexpr std::int32_t OFN_FILEMUSTEXIST = 0x1000;

// "desc|*.a;*.b|desc2|*.c" -> {"desc (*.a *.A *.b *.B)", "desc2 (*.c *.C)"}: one Qt name filter
// per pair, each pattern also in upper case so that upper-case extensions match. A trailing
// description without a pattern is dropped.
QStringList FilterToNameFilters(const QString& filter);

class CFileDialog {
  public:
    explicit CFileDialog(UiServices& ui) : m_ui(ui) {}

    QString DefaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString& v) { m_defaultExt = v; }
    QString DialogTitle() const { return m_dialogTitle; }
    void setDialogTitle(const QString& v) { m_dialogTitle = v; }
    QString FileName() const { return m_fileName; }
    void setFileName(const QString& v) { m_fileName = v; }
    QString FileTitle() const { return m_fileTitle; }
    void setFileTitle(const QString& v) { m_fileTitle = v; }
    QString Filter() const { return m_filter; }
    void setFilter(const QString& v) { m_filter = v; }
    std::int16_t FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(std::int16_t v) { m_filterIndex = v; }
    std::int32_t Flags() const { return m_flags; }
    void setFlags(std::int32_t v) { m_flags = v; }
    QWidget* hWndParent() const { return m_parent; }
    void sethWndParent(QWidget* v) { m_parent = v; }
    QString InitialDir() const { return m_initialDir; }
    void setInitialDir(const QString& v) { m_initialDir = v; }
    // Kept for callers; the dialog does not limit the path length.
    std::int16_t MaxFileSize() const { return m_maxFileSize; }
    void setMaxFileSize(std::int16_t v) { m_maxFileSize = v; }

    // Shows the open dialog (fOpen) or the save dialog. True when a file was chosen: FileName
    // becomes its full path and FileTitle its name without folder. False on cancel, leaving
    // both as they were.
    bool Show(bool fOpen);

    // The request Show passes to UiServices (exposed for tests).
    FileDialogRequest request(bool fOpen) const;

  private:
    UiServices& m_ui;
    QString m_defaultExt;
    QString m_dialogTitle;
    QString m_fileName;
    QString m_fileTitle;
    QString m_filter;
    std::int16_t m_filterIndex = 0;
    std::int32_t m_flags = 0;
    QWidget* m_parent = nullptr;
    QString m_initialDir;
    std::int16_t m_maxFileSize = 0;
};
