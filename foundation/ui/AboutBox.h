#pragma once
// frmAbout: the modal version-information box of both programs. Always opens centred on the
// screen and remembers nothing. The system-information button reports that no such tool is
// available on this platform.

#include <QDialog>
#include <QString>

#include "foundation/ui/UiServices.h"

class QLabel;
class QPushButton;

enum class AboutProgram { Mibrox, Preview };

// "Version <major>.<minor>.<revision as 000>(<build date>)".
QString AboutVersionText(AboutProgram program);
// "ミブロクス" or "印刷ﾌﾟﾚﾋﾞｭｰ".
QString AboutProgramTitle(AboutProgram program);

class frmAbout : public QDialog {
    Q_OBJECT
  public:
    frmAbout(UiServices& ui, AboutProgram program, QWidget* parent = nullptr);

    // Preview program only: appended to the caption (after a blank) when not empty.
    void setUsrCaption(const QString& caption) { m_usrCaption = caption; }

    QLabel* lblTitle() const { return m_lblTitle; }
    QLabel* lblVersion() const { return m_lblVersion; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdSysInfo() const { return m_cmdSysInfo; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Form_Load();
    void cmdSysInfo_Click();
    void StartSysInfo();

    UiServices& m_ui;
    AboutProgram m_program;
    QString m_usrCaption;
    bool m_loaded = false;

    // Controls
    QLabel* m_picIcon = nullptr;
    QLabel* m_lblTitle = nullptr;
    QLabel* m_lblVersion = nullptr;
    QLabel* m_lblDescription = nullptr;
    QLabel* m_lblDisclaimer = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdSysInfo = nullptr;
};
