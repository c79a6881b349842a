#pragma once
// frmPageSetup, the preview's page-setup dialog: paper, orientation, margins, first page
// number, header and footer, body font and the header and footer fonts, all kept in
// Preview.ini (pagesetup/PageSetupSettings.h).
//
// Use (the preview window's page-setup tool): ShowPageSetupDialog below, or create the dialog,
// set UsrHelpFile and UsrHelpContextID (kPageSetupHelpContext), exec() and drop it. Nothing is
// handed back; the preview reads Preview.ini again when it next lays the document out.
//
// On opening (the load step of DialogBase) every control is filled from the file, with the
// defaults for missing keys; OK writes every key in one atomic replace and closes (a failed
// write is reported, then the dialog closes all the same); Cancel and the close box write
// nothing. Every close writes the position (twips) into [frmPageSetup]; a stored position
// below 1 or beyond the screen is centred on that axis. The dialog has no UsrTag rule of its
// own and raises nothing for its caller.

#include <QString>
#include <array>
#include <string>

#include "foundation/ui/DialogBase.h"
#include "pagesetup/PageSetupSettings.h"

class NumberBox;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class UiServices;

// Help topic of the dialog.
inline constexpr std::int32_t kPageSetupHelpContext = 3020;

class frmPageSetup : public DialogBase {
    Q_OBJECT

  public:
    // previewIniPath: Preview.ini (UTF-8 path). printerDeviceName: the printer the preview
    // uses, shown as it is ("(未選択)" when empty).
    frmPageSetup(UiServices& ui, std::string previewIniPath, QString printerDeviceName,
                 QWidget* parent = nullptr);

    // Pages: TabStrip1 selects which of fraYoushi, fraHF, fraFont the stack shows.
    QTabBar* TabStrip1 = nullptr;
    QStackedWidget* Pages = nullptr;
    QWidget* fraYoushi = nullptr;
    QWidget* fraHF = nullptr;
    QWidget* fraFont = nullptr;
    QLabel* lblPrinter = nullptr;

    // "用紙設定"
    QComboBox* cboYSize = nullptr;
    std::array<QRadioButton*, 2> optMuki{};  // portrait, landscape
    QStackedWidget* PicMuki = nullptr;       // page 0 portrait, page 1 landscape picture
    std::array<NumberBox*, 4> numYohaku{};   // top, bottom, left, right (mm)

    // "ヘッダ・フッタ"
    NumberBox* numPage = nullptr;
    QCheckBox* chkHeader = nullptr;
    NumberBox* numHeaderMargin = nullptr;
    QCheckBox* chkHeaderL = nullptr;
    QCheckBox* chkHeaderC = nullptr;
    QCheckBox* chkHeaderR = nullptr;
    QLineEdit* txtHeaderL = nullptr;
    QLineEdit* txtHeaderC = nullptr;
    QLineEdit* txtHeaderR = nullptr;
    QCheckBox* chkFooter = nullptr;
    NumberBox* numFooterMargin = nullptr;
    QCheckBox* chkFooterL = nullptr;
    QCheckBox* chkFooterC = nullptr;
    QCheckBox* chkFooterR = nullptr;
    QLineEdit* txtFooterL = nullptr;
    QLineEdit* txtFooterC = nullptr;
    QLineEdit* txtFooterR = nullptr;

    // "フォント"
    QComboBox* cboHFont = nullptr;
    QComboBox* cboHHSize = nullptr;
    QComboBox* cboHSSize = nullptr;
    QListWidget* lstHeader = nullptr;  // 0 header, 1 footer: the slot the editor shows
    QComboBox* cboFont = nullptr;
    QComboBox* cboSize = nullptr;
    std::array<QCheckBox*, 3> chkE{};  // bold, italic, underline
    QFrame* picPreview = nullptr;
    QLabel* lblSample = nullptr;

    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;

    // Font slot 1 (header) or 2 (footer), as last stored from the editor.
    const pagesetup::HeaderFooterFont& fontSlot(int index) const;
    // The lstHeader entry whose slot the editor shows.
    int PrevListIndex() const { return m_prevListIndex; }
    // Rebuilds the sample from the editor; a size that is not a usable font size leaves the
    // sample as it was.
    void UpdateFontSample();
    // What OK writes: the controls and both font slots (the editor is not stored first).
    pagesetup::PageSetupSettings settingsFromControls() const;

  protected:
    void prepareForm() override;
    // Checks every enabled range-checked box, bringing a failing box's page to the front.
    bool validateInputs() override;

  private:
    struct HfBlock {
        QCheckBox* flag;
        NumberBox* margin;
        std::array<QCheckBox*, 3> parts;
        std::array<QLineEdit*, 3> texts;
    };

    void buildControls(UiServices& ui);
    QWidget* buildPaperPage(UiServices& ui);
    QWidget* buildHeaderFooterPage(UiServices& ui);
    QWidget* buildFontPage();
    HfBlock headerBlock() const;
    HfBlock footerBlock() const;
    void applyEnablingRules(const HfBlock& block);
    void loadSettings(const pagesetup::PageSetupSettings& settings);
    void selectEntry(int row);
    void storeEditor(pagesetup::HeaderFooterFont& slot) const;
    void loadEditor(const pagesetup::HeaderFooterFont& slot);
    void saveSettings();

    UiServices& m_ui;
    std::string m_iniPath;
    QString m_printerDeviceName;
    std::array<pagesetup::HeaderFooterFont, 2> m_slots;  // header, footer
    int m_prevListIndex = 0;
};

// The font lists' names from the system's family names, in their order: each family once by
// its plain name ("C059 [urw]" and "C059 [UKWN]" both give "C059"), no empty names and none
// beginning with "@".
QStringList ScreenFontNames(const QStringList& families);

// Opens the page-setup dialog modally over `parent` with the preview window's help file and
// the help topic 3020, and returns when it has closed.
void ShowPageSetupDialog(QWidget* parent, UiServices& ui, const std::string& previewIniPath,
                         const QString& printerDeviceName, const QString& helpFile);
