#pragma once
// The two option dialogs shown before an export: frmInpWordOption (a notice, OK and Cancel)
// and frmInpPDFOption (a notice and the compression check box chkPDFComp).
//
// Both follow the dialog base's conventions (UsrCaption, UsrHelpFile, UsrHelpContextID,
// UsrTag, LoadData, SaveData) with these differences: the dialog opens centred on the screen
// every time it is shown and remembers no position; Help is hidden when UsrHelpFile is empty;
// UsrTag is "OK" or "ｷｬﾝｾﾙ" only when the dialog was closed by that button, and empty after any
// other close (also when an earlier OK was cancelled by a SaveData handler).
//
// Use from the preview window: AskPdfExportOptions and AskWordExportOptions below create the
// dialog, show it modally and report whether the export should go on.

#include "foundation/ui/DialogBase.h"
#include "pagesetup/InpPDFOption.h"

class QCheckBox;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;

// What the two dialogs share: caption, notice, buttons and the closing rule.
class ExportOptionForm : public DialogBase {
    Q_OBJECT

  public:
    QGroupBox* Frame1 = nullptr;
    QPlainTextEdit* Text1 = nullptr;  // the notice, read-only
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;

  protected:
    // caption and notice: UTF-8, the notice's lines ended by CR LF.
    ExportOptionForm(const char* caption, const char* notice, QWidget* parent);
    // Adds a control below the notice (before the buttons are laid out).
    void addBelowNotice(QWidget* control);

    void showEvent(QShowEvent* event) override;
    void done(int result) override;

  private:
    bool m_cancelPressed = false;
    class QVBoxLayout* m_frameLayout = nullptr;
};

class frmInpWordOption : public ExportOptionForm {
    Q_OBJECT
  public:
    explicit frmInpWordOption(QWidget* parent = nullptr);
};

class frmInpPDFOption : public ExportOptionForm {
    Q_OBJECT
  public:
    explicit frmInpPDFOption(QWidget* parent = nullptr);

    QCheckBox* chkPDFComp = nullptr;
};

// The preview's two handlers of the PDF dialog: the check box from and to the option.
void objInpPDFOption_LoadData(frmInpPDFOption& form, const CInpPDFOption& PDFOption);
void objInpPDFOption_SaveData(frmInpPDFOption& form, CInpPDFOption& PDFOption, bool& cancel);

// Shows the PDF option dialog (empty caption and help file, context 0) with both handlers;
// true when it was closed by OK. Cancel or the close box leave PDFOption unchanged.
bool AskPdfExportOptions(QWidget* parent, CInpPDFOption& PDFOption);

// Shows the Word option dialog; true when it was closed by OK.
bool AskWordExportOptions(QWidget* parent);
