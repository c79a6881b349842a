#include "foundation/ui/AboutBox.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "foundation/NumberFormat.h"
#include "foundation/ProgramVersion.h"
#include "foundation/WindowPlacement.h"

namespace {

const program_version::ProgramVersion& versionOf(AboutProgram program) {
    return program == AboutProgram::Mibrox ? program_version::Mibrox : program_version::Preview;
}

const char* const kCaption = "ﾊﾞｰｼﾞｮﾝ情報";
const char* const kLegalNotice =
    "Copyright (C) Halvoren. 本ソフトウェアの著作権はHalvorenに帰属します。";
const char* const kWarning =
    "警告：このプログラムは著作権法および国際条約によって保護されています。"
    "このプログラムの全部または一部を無断で複製したり配布したりすることは、"
    "法律によって固く禁じられています。";
const char* const kNoSysInfo = "現時点ではｼｽﾃﾑ情報を使用できません";

}  // namespace

QString AboutProgramTitle(AboutProgram program) {
    return program == AboutProgram::Mibrox ? QStringLiteral("ミブロクス")
                                           : QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ");
}

QString AboutVersionText(AboutProgram program) {
    const program_version::ProgramVersion& v = versionOf(program);
    return QStringLiteral("Version %1.%2.").arg(v.major).arg(v.minor) +
           QString::fromStdString(FormatNumber(v.revision, "000")) + QString::fromUtf8(v.buildDate);
}

frmAbout::frmAbout(UiServices& ui, AboutProgram program, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_program(program) {
    setWindowTitle(QString::fromUtf8(kCaption));
    setModal(true);

    m_picIcon = new QLabel(this);
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    m_picIcon->setPixmap(icon.pixmap(32, 32));
    m_picIcon->setAlignment(Qt::AlignTop);

    m_lblTitle = new QLabel(QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝ ﾀｲﾄﾙ"), this);
    QFont titleFont = m_lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    m_lblTitle->setFont(titleFont);
    m_lblVersion = new QLabel(QStringLiteral("ﾊﾞｰｼﾞｮﾝ"), this);
    m_lblDescription = new QLabel(this);
    m_lblDescription->setWordWrap(true);
    m_lblDisclaimer = new QLabel(this);
    m_lblDisclaimer->setWordWrap(true);

    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setDefault(true);
    m_cmdSysInfo = new QPushButton(QStringLiteral("ｼｽﾃﾑ情報(&S)..."), this);
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* text = new QVBoxLayout;
    text->addWidget(m_lblTitle);
    text->addWidget(m_lblVersion);
    text->addSpacing(8);
    text->addWidget(m_lblDescription);
    auto* top = new QHBoxLayout;
    top->addWidget(m_picIcon);
    top->addLayout(text, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdSysInfo);
    buttons->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_lblDisclaimer, 1);
    bottom->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addLayout(bottom);
    setFixedWidth(480);
}

void frmAbout::showEvent(QShowEvent* event) {
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    QDialog::showEvent(event);
}

void frmAbout::Form_Load() {
    // Always centred on the screen (a stored position of 0 on both axes), never negative.
    adjustSize();
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        const double dpiX = s->logicalDotsPerInchX();
        const double dpiY = s->logicalDotsPerInchY();
        const QSize box = frameGeometry().size();
        const std::int32_t top = PlaceOnAxis(0, PixelsToTwips(s->geometry().height(), dpiY),
                                             PixelsToTwips(box.height(), dpiY));
        const std::int32_t left = PlaceOnAxis(0, PixelsToTwips(s->geometry().width(), dpiX),
                                              PixelsToTwips(box.width(), dpiX));
        move(TwipsToPixels(left, dpiX), TwipsToPixels(top, dpiY));
    }
    if (m_program == AboutProgram::Preview && !m_usrCaption.isEmpty()) {
        setWindowTitle(windowTitle() + QLatin1Char(' ') + m_usrCaption);
    }
    m_lblTitle->setText(AboutProgramTitle(m_program));
    m_lblVersion->setText(AboutVersionText(m_program));
    m_lblDescription->setText(QString::fromUtf8(kLegalNotice));
    m_lblDisclaimer->setText(QString::fromUtf8(kWarning));
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void frmAbout::StartSysInfo() {
    // No system-information tool exists on this platform.
    m_ui.message(this, QString::fromUtf8(kNoSysInfo), AboutProgramTitle(m_program),
                 UiServices::Buttons::Ok, UiServices::Icon::None);
}
