#include "pagesetup/ExportOptionForms.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "foundation/WindowPlacement.h"
#include "pagesetup/PageSetupTexts.h"

namespace {

const QString kOk = QStringLiteral("OK");

}  // namespace

ExportOptionForm::ExportOptionForm(const char* caption, const char* notice, QWidget* parent)
    : DialogBase(parent) {
    setWindowTitle(QString::fromUtf8(caption));
    setHideHelpWhenNoHelpFile(true);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Text1 = new QPlainTextEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QString text = QString::fromUtf8(notice);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(u'\n')) text.chop(1);
    Text1->setPlainText(text);
    const QFontMetrics metrics(Text1->font());
    int widest = 0;
    for (const QString& line : text.split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    Text1->setMinimumSize(widest + 24,
                          metrics.lineSpacing() * (static_cast<int>(text.count(u'\n')) + 2) + 12);
    m_frameLayout = new QVBoxLayout(Frame1);
    m_frameLayout->addWidget(Text1);

    btnOk = new QPushButton(QStringLiteral("OK(&O)"), this);
    btnCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"), this);
    btnHelp = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    // Connected before the base's handler, so that the close it causes is known as Cancel.
    connect(btnCancel, &QPushButton::clicked, this, [this] { m_cancelPressed = true; });
    setDialogButtons(btnOk, btnCancel, btnHelp);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnHelp);
    auto* main = new QVBoxLayout(this);
    main->addWidget(Frame1);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

void ExportOptionForm::addBelowNotice(QWidget* control) {
    m_frameLayout->addWidget(control);
}

void ExportOptionForm::showEvent(QShowEvent* event) {
    const bool shownBefore = loadStepDone();
    DialogBase::showEvent(event);
    if (!shownBefore) return;  // the load step has centred it
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    // The same rectangle as the load step centres: the contents, inside the frame.
    const QRect area = screen->geometry();
    QRect contents = geometry();
    const double dpiX = screen->logicalDotsPerInchX();
    const double dpiY = screen->logicalDotsPerInchY();
    const auto centre = [](std::int32_t screenPixels, std::int32_t windowPixels, double dpi) {
        return TwipsToPixels(
            PlaceOnAxis(0, PixelsToTwips(screenPixels, dpi), PixelsToTwips(windowPixels, dpi)),
            dpi);
    };
    contents.moveTopLeft(QPoint(centre(area.width(), contents.width(), dpiX),
                                centre(area.height(), contents.height(), dpiY)));
    setGeometry(contents);
}

void ExportOptionForm::done(int result) {
    // Only OK (which accepts) and Cancel leave a tag; any other close clears a stale "OK".
    if (!(result == Accepted && UsrTag == kOk) && !m_cancelPressed) UsrTag.clear();
    m_cancelPressed = false;
    DialogBase::done(result);
}

frmInpWordOption::frmInpWordOption(QWidget* parent)
    : ExportOptionForm(pagesetup::texts::WordOptionCaption, pagesetup::texts::WordNotice, parent) {}

frmInpPDFOption::frmInpPDFOption(QWidget* parent)
    : ExportOptionForm(pagesetup::texts::PdfOptionCaption, pagesetup::texts::PdfNotice, parent) {
    chkPDFComp = new QCheckBox(QString::fromUtf8(pagesetup::texts::PdfCompress), this);
    chkPDFComp->setObjectName(QStringLiteral("chkPDFComp"));
    addBelowNotice(chkPDFComp);
}

void objInpPDFOption_LoadData(frmInpPDFOption& form, const CInpPDFOption& PDFOption) {
    form.chkPDFComp->setChecked(PDFOption.IsCompress != 0);
}

void objInpPDFOption_SaveData(frmInpPDFOption& form, CInpPDFOption& PDFOption, bool& cancel) {
    PDFOption.IsCompress = form.chkPDFComp->isChecked() ? 1 : 0;
    PDFOption.InpFlg = true;
    cancel = false;
}

bool AskPdfExportOptions(QWidget* parent, CInpPDFOption& PDFOption) {
    frmInpPDFOption objInpPDFOption(parent);
    QObject::connect(&objInpPDFOption, &DialogBase::LoadData, &objInpPDFOption,
                     [&] { objInpPDFOption_LoadData(objInpPDFOption, PDFOption); });
    QObject::connect(&objInpPDFOption, &DialogBase::SaveData, &objInpPDFOption, [&](bool& cancel) {
        objInpPDFOption_SaveData(objInpPDFOption, PDFOption, cancel);
    });
    objInpPDFOption.exec();
    return objInpPDFOption.UsrTag == kOk;
}

bool AskWordExportOptions(QWidget* parent) {
    frmInpWordOption objInpWordOption(parent);
    objInpWordOption.exec();
    return objInpWordOption.UsrTag == kOk;
}
