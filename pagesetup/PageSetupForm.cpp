#include "pagesetup/PageSetupForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QRegularExpression>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "foundation/Cp932.h"
#include "foundation/Numeric.h"
#include "foundation/ui/NumberBox.h"
#include "foundation/ui/UiServices.h"
#include "pagesetup/PageSetupTexts.h"

using pagesetup::HeaderFooterFont;
using pagesetup::HeaderFooterSetup;
using pagesetup::PageSetupSettings;

namespace {

// Longest header or footer text the user may type, in characters (a stored longer text is
// kept as it is).
constexpr int kPartTypingLimit = 40;
// Largest font size the sample applies, in points.
constexpr double kLargestSampleSize = 1638.0;

// A one-line text box for a header or footer part. Its limit stops typing only: a text set by
// code keeps its length, and typing never makes a text longer than the limit (or than it
// already was). Typed characters that Preview.ini (CP932) cannot hold are dropped, so that
// what the box shows is what is stored.
class PartTextEdit final : public QLineEdit {
  public:
    explicit PartTextEdit(QWidget* parent) : QLineEdit(parent) {
        // textChanged comes before textEdited: keep the text from before the change too.
        connect(this, &QLineEdit::textChanged, this, [this](const QString& t) {
            m_before = m_last;
            m_last = t;
        });
        connect(this, &QLineEdit::textEdited, this, &PartTextEdit::limit);
    }

  private:
    void limit(const QString& typed) {
        int cursor = cursorPosition();
        QString kept;
        for (qsizetype i = 0; i < typed.size(); ++i) {
            const QChar c = typed.at(i);
            if (c.isSurrogate() || !cp932::canEncode(QString(c).toStdString())) {
                if (i < cursor) --cursor;
                continue;
            }
            kept += c;
        }
        // Drop the characters just inserted, which stand before the cursor.
        const qsizetype allowed = std::max<qsizetype>(kPartTypingLimit, m_before.size());
        const qsizetype excess = kept.size() - allowed;
        if (excess > 0) {
            const qsizetype from = std::max<qsizetype>(0, cursor - excess);
            kept.remove(from, cursor - from);
            cursor = static_cast<int>(from);
        }
        if (kept == typed) return;
        setText(kept);
        setCursorPosition(cursor);
    }

    QString m_before;
    QString m_last;
};

// A page outline, portrait or landscape, for the orientation picture.
QPixmap pagePicture(bool landscape) {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const QRect page = landscape ? QRect(6, 16, 52, 36) : QRect(14, 6, 36, 52);
    p.fillRect(page.translated(3, 3), Qt::gray);
    p.fillRect(page, Qt::white);
    p.setPen(Qt::black);
    p.drawRect(page);
    p.setPen(QPen(Qt::darkGray, 1));
    for (int y = page.top() + 8; y < page.bottom() - 5; y += 5)
        p.drawLine(page.left() + 6, y, page.right() - 6, y);
    return pixmap;
}

QComboBox* editableList(QWidget* parent, int minimumChars) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(minimumChars);
    return box;
}

NumberBox* numberBox(UiServices& ui, QWidget* parent, const char* caption, double min, double max,
                     const char* pattern) {
    auto* box = new NumberBox(ui, parent);
    box->setCaptionText(QString::fromUtf8(caption));
    box->setLimits(min, max);
    box->setDisplayPattern(QString::fromUtf8(pattern));
    box->setEditPattern(QString::fromUtf8(pattern));
    box->setMaximumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("-99999")) + 16);
    return box;
}

// The whole number a box holds, as OK writes it; an empty box gives 0.
std::int32_t boxInteger(const NumberBox* box) {
    const std::optional<double> v = box->value();
    if (!v) return 0;
    const double r = RoundHalfUp(*v, 0);
    if (!(r > std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (!(r < std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(r);
}

void setObjectNames(std::initializer_list<std::pair<QObject*, const char*>> names) {
    for (const auto& [object, name] : names) object->setObjectName(QString::fromUtf8(name));
}

}  // namespace

frmPageSetup::frmPageSetup(UiServices& ui, std::string previewIniPath, QString printerDeviceName,
                           QWidget* parent)
    : DialogBase(parent),
      m_ui(ui),
      m_iniPath(std::move(previewIniPath)),
      m_printerDeviceName(std::move(printerDeviceName)) {
    setWindowTitle(QString::fromUtf8(pagesetup::texts::PageSetupCaption));
    setPositionStore(m_iniPath, "frmPageSetup");
    setCentreBeyondScreen(true);
    buildControls(ui);
    setDialogButtons(btnOk, btnCancel, btnHelp);
    connect(this, &DialogBase::SaveData, this, [this](bool&) { saveSettings(); });
}

void frmPageSetup::buildControls(UiServices& ui) {
    TabStrip1 = new QTabBar(this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->addTab(QStringLiteral("用紙設定"));
    TabStrip1->addTab(QStringLiteral("ヘッダ・フッタ"));
    TabStrip1->addTab(QStringLiteral("フォント"));
    TabStrip1->setDrawBase(false);

    Pages = new QStackedWidget(this);
    Pages->setFrameShape(QFrame::StyledPanel);
    fraYoushi = buildPaperPage(ui);
    fraHF = buildHeaderFooterPage(ui);
    fraFont = buildFontPage();
    setObjectNames({{fraYoushi, "fraYoushi"}, {fraHF, "fraHF"}, {fraFont, "fraFont"}});
    Pages->addWidget(fraYoushi);
    Pages->addWidget(fraHF);
    Pages->addWidget(fraFont);
    connect(TabStrip1, &QTabBar::currentChanged, Pages, &QStackedWidget::setCurrentIndex);

    lblPrinter = new QLabel(this);
    lblPrinter->setObjectName(QStringLiteral("lblPrinter"));
    auto* printerRow = new QHBoxLayout;
    printerRow->addWidget(new QLabel(QStringLiteral("プリンタ機種名："), this));
    printerRow->addWidget(lblPrinter, 1);

    btnOk = new QPushButton(QStringLiteral("OK(&O)"), this);
    btnCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"), this);
    btnHelp = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this);
    setObjectNames({{btnOk, "btnOk"}, {btnCancel, "btnCancel"}, {btnHelp, "btnHelp"}});
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnHelp);

    auto* main = new QVBoxLayout(this);
    main->setSpacing(0);
    main->addWidget(TabStrip1);
    main->addWidget(Pages);
    main->addSpacing(8);
    main->addLayout(printerRow);
    main->addSpacing(8);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* frmPageSetup::buildPaperPage(UiServices& ui) {
    auto* page = new QWidget;
    cboYSize = editableList(page, 8);
    cboYSize->setObjectName(QStringLiteral("cboYSize"));
    for (const char* size : {"A3", "A4", "A5", "B4", "B5"})
        cboYSize->addItem(QString::fromUtf8(size));

    auto* orientation = new QGroupBox(QStringLiteral("用紙の向き"), page);
    optMuki[0] = new QRadioButton(QStringLiteral("縦置き"), orientation);
    optMuki[1] = new QRadioButton(QStringLiteral("横置き"), orientation);
    setObjectNames({{optMuki[0], "optMuki0"}, {optMuki[1], "optMuki1"}});
    PicMuki = new QStackedWidget(orientation);
    PicMuki->setObjectName(QStringLiteral("PicMuki"));
    for (bool landscape : {false, true}) {
        auto* picture = new QLabel;
        picture->setPixmap(pagePicture(landscape));
        PicMuki->addWidget(picture);
    }
    for (QRadioButton* option : optMuki) {
        connect(option, &QRadioButton::toggled, this,
                [this] { PicMuki->setCurrentIndex(optMuki[1]->isChecked() ? 1 : 0); });
    }
    auto* options = new QVBoxLayout;
    options->addWidget(optMuki[0]);
    options->addWidget(optMuki[1]);
    auto* orientationRow = new QHBoxLayout(orientation);
    orientationRow->addLayout(options);
    orientationRow->addWidget(PicMuki);

    auto* margins = new QGroupBox(QStringLiteral("余白"), page);
    auto* marginGrid = new QGridLayout(margins);
    const char* const captions[] = {"上端(mm)", "下端(mm)", "左端(mm)", "右端(mm)"};
    for (int i = 0; i < 4; ++i) {
        numYohaku[static_cast<std::size_t>(i)] = numberBox(ui, margins, captions[i], 0, 99, "#0");
        numYohaku[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("numYohaku%1").arg(i));
        marginGrid->addWidget(new QLabel(QString::fromUtf8(captions[i]), margins), i / 2,
                              (i % 2) * 2);
        marginGrid->addWidget(numYohaku[static_cast<std::size_t>(i)], i / 2, (i % 2) * 2 + 1);
    }

    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(new QLabel(QStringLiteral("用紙サイズ"), page));
    sizeRow->addWidget(cboYSize);
    sizeRow->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(sizeRow);
    layout->addWidget(orientation);
    layout->addWidget(margins);
    layout->addStretch();
    return page;
}

QWidget* frmPageSetup::buildHeaderFooterPage(UiServices& ui) {
    auto* page = new QWidget;
    numPage = numberBox(ui, page, "ページNo初期値", -9999, 9999, "###0");
    numPage->setObjectName(QStringLiteral("numPage"));
    auto* pageRow = new QHBoxLayout;
    pageRow->addWidget(new QLabel(QStringLiteral("ページNo初期値"), page));
    pageRow->addWidget(numPage);
    pageRow->addWidget(
        new QLabel(QStringLiteral("（※ページNoが０以下の場合，非表示とする。）"), page));
    pageRow->addStretch();

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(pageRow);
    struct Names {
        const char* caption;
        const char* note;
        const char* prefix;
    };
    for (const Names& n : {Names{"ヘッダ", "（用紙上端から）", "Header"},
                           Names{"フッタ", "（用紙下端から）", "Footer"}}) {
        const bool header = std::strcmp(n.prefix, "Header") == 0;
        auto* block = new QGroupBox(page);
        auto* grid = new QGridLayout(block);
        auto* flag = new QCheckBox(QString::fromUtf8(n.caption), block);
        auto* margin = numberBox(ui, block, "位置(mm)", 0, 999, "##0");
        flag->setObjectName(QStringLiteral("chk%1").arg(QLatin1String(n.prefix)));
        margin->setObjectName(QStringLiteral("num%1Margin").arg(QLatin1String(n.prefix)));
        grid->addWidget(flag, 0, 0);
        grid->addWidget(new QLabel(QString::fromUtf8(n.note), block), 0, 1);
        grid->addWidget(new QLabel(QStringLiteral("位置(mm)"), block), 0, 2, Qt::AlignRight);
        grid->addWidget(margin, 0, 3);
        const char* const partCaptions[] = {"左揃え", "中央揃え", "右揃え"};
        const char* const suffixes[] = {"L", "C", "R"};
        std::array<QCheckBox*, 3> parts{};
        std::array<QLineEdit*, 3> texts{};
        for (int i = 0; i < 3; ++i) {
            const auto k = static_cast<std::size_t>(i);
            parts[k] = new QCheckBox(QString::fromUtf8(partCaptions[i]), block);
            texts[k] = new PartTextEdit(block);
            parts[k]->setObjectName(
                QStringLiteral("chk%1%2").arg(QLatin1String(n.prefix), QLatin1String(suffixes[i])));
            texts[k]->setObjectName(
                QStringLiteral("txt%1%2").arg(QLatin1String(n.prefix), QLatin1String(suffixes[i])));
            texts[k]->setMinimumWidth(
                texts[k]->fontMetrics().horizontalAdvance(QString(20, u'あ')));
            grid->addWidget(parts[k], i + 1, 0);
            grid->addWidget(texts[k], i + 1, 1, 1, 3);
        }
        (header ? chkHeader : chkFooter) = flag;
        (header ? numHeaderMargin : numFooterMargin) = margin;
        (header ? chkHeaderL : chkFooterL) = parts[0];
        (header ? chkHeaderC : chkFooterC) = parts[1];
        (header ? chkHeaderR : chkFooterR) = parts[2];
        (header ? txtHeaderL : txtFooterL) = texts[0];
        (header ? txtHeaderC : txtFooterC) = texts[1];
        (header ? txtHeaderR : txtFooterR) = texts[2];
        const HfBlock hf = header ? headerBlock() : footerBlock();
        for (QCheckBox* box : {flag, parts[0], parts[1], parts[2]})
            connect(box, &QCheckBox::toggled, this, [this, hf] { applyEnablingRules(hf); });
        layout->addWidget(block);
    }
    layout->addStretch();
    return page;
}

QWidget* frmPageSetup::buildFontPage() {
    auto* page = new QWidget;
    cboHFont = editableList(page, 16);
    cboHHSize = editableList(page, 5);
    cboHSSize = editableList(page, 5);
    cboFont = editableList(page, 16);
    cboSize = editableList(page, 5);
    setObjectNames({{cboHFont, "cboHFont"},
                    {cboHHSize, "cboHHSize"},
                    {cboHSSize, "cboHSSize"},
                    {cboFont, "cboFont"},
                    {cboSize, "cboSize"}});

    auto* body = new QGroupBox(QStringLiteral("本文"), page);
    auto* bodyGrid = new QGridLayout(body);
    bodyGrid->addWidget(new QLabel(QStringLiteral("フォント名"), body), 0, 0);
    bodyGrid->addWidget(cboHFont, 0, 1, 1, 3);
    bodyGrid->addWidget(new QLabel(QStringLiteral("標準サイズ"), body), 1, 0);
    bodyGrid->addWidget(cboHHSize, 1, 1);
    bodyGrid->addWidget(new QLabel(QStringLiteral("縮小時サイズ"), body), 1, 2);
    bodyGrid->addWidget(cboHSSize, 1, 3);

    auto* hf = new QGroupBox(QStringLiteral("ヘッダ・フッタ"), page);
    lstHeader = new QListWidget(hf);
    lstHeader->setObjectName(QStringLiteral("lstHeader"));
    lstHeader->addItem(QStringLiteral("ヘッダ"));
    lstHeader->addItem(QStringLiteral("フッタ"));
    lstHeader->setMaximumWidth(lstHeader->fontMetrics().horizontalAdvance(QString(6, u'あ')));
    lstHeader->setMaximumHeight(lstHeader->fontMetrics().height() * 3);
    auto* decoration = new QGroupBox(QStringLiteral("文字飾り"), hf);
    auto* decorationRow = new QHBoxLayout(decoration);
    const char* const decorations[] = {"太字", "斜体", "下線"};
    for (int i = 0; i < 3; ++i) {
        const auto k = static_cast<std::size_t>(i);
        chkE[k] = new QCheckBox(QString::fromUtf8(decorations[i]), decoration);
        chkE[k]->setObjectName(QStringLiteral("chkE%1").arg(i));
        decorationRow->addWidget(chkE[k]);
        connect(chkE[k], &QCheckBox::clicked, this, &frmPageSetup::UpdateFontSample);
    }
    picPreview = new QFrame(hf);
    picPreview->setObjectName(QStringLiteral("picPreview"));
    picPreview->setFrameShape(QFrame::Box);
    picPreview->setFixedSize(260, 64);
    lblSample = new QLabel(picPreview);
    lblSample->setObjectName(QStringLiteral("lblSample"));

    auto* editor = new QGridLayout;
    editor->addWidget(new QLabel(QStringLiteral("ﾌﾟﾛﾊﾟﾃｨ"), hf), 0, 0, 1, 2);
    editor->addWidget(new QLabel(QStringLiteral("フォント名"), hf), 1, 0);
    editor->addWidget(cboFont, 1, 1);
    editor->addWidget(new QLabel(QStringLiteral("サイズ"), hf), 2, 0);
    editor->addWidget(cboSize, 2, 1, Qt::AlignLeft);
    editor->addWidget(decoration, 3, 0, 1, 2);
    editor->addWidget(picPreview, 4, 0, 1, 2);
    auto* hfRow = new QHBoxLayout(hf);
    hfRow->addWidget(lstHeader, 0, Qt::AlignTop);
    hfRow->addLayout(editor);

    connect(lstHeader, &QListWidget::currentRowChanged, this, &frmPageSetup::selectEntry);
    connect(cboFont, &QComboBox::activated, this, &frmPageSetup::UpdateFontSample);
    connect(cboSize, &QComboBox::activated, this, &frmPageSetup::UpdateFontSample);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(body);
    layout->addWidget(hf);
    layout->addStretch();
    return page;
}

frmPageSetup::HfBlock frmPageSetup::headerBlock() const {
    return {chkHeader,
            numHeaderMargin,
            {chkHeaderL, chkHeaderC, chkHeaderR},
            {txtHeaderL, txtHeaderC, txtHeaderR}};
}

frmPageSetup::HfBlock frmPageSetup::footerBlock() const {
    return {chkFooter,
            numFooterMargin,
            {chkFooterL, chkFooterC, chkFooterR},
            {txtFooterL, txtFooterC, txtFooterR}};
}

void frmPageSetup::applyEnablingRules(const HfBlock& block) {
    const bool on = block.flag->isChecked();
    block.margin->setEnabled(on);
    for (std::size_t i = 0; i < 3; ++i) {
        block.parts[i]->setEnabled(on);
        block.texts[i]->setEnabled(on && block.parts[i]->isChecked());
    }
}

void frmPageSetup::prepareForm() {
    TabStrip1->setCurrentIndex(0);
    Pages->setCurrentIndex(0);

    // Lists: the screen fonts, then the sizes.
    const QStringList fonts = ScreenFontNames(QFontDatabase::families());
    cboHFont->addItems(fonts);
    cboFont->addItems(fonts);
    for (int size = 5; size <= 20; ++size) {
        const QString text = QStringLiteral("%1.0").arg(size);
        for (QComboBox* box : {cboHHSize, cboHSSize, cboSize}) box->addItem(text);
    }

    lblPrinter->setText(m_printerDeviceName.isEmpty()
                            ? QString::fromUtf8(pagesetup::texts::NoPrinter)
                            : m_printerDeviceName);
    loadSettings(pagesetup::ReadPageSetupSettings(m_iniPath));
}

void frmPageSetup::loadSettings(const PageSetupSettings& s) {
    cboYSize->setCurrentText(QString::fromStdString(s.PaperSize));
    optMuki[s.Landscape ? 1 : 0]->setChecked(true);
    PicMuki->setCurrentIndex(s.Landscape ? 1 : 0);
    for (std::size_t i = 0; i < 4; ++i) numYohaku[i]->setValue(s.MarginsMm[i]);
    numPage->setValue(s.PageInit);
    for (const auto& [block, hf] :
         {std::pair{headerBlock(), &s.Header}, std::pair{footerBlock(), &s.Footer}}) {
        block.flag->setChecked(hf->flg);
        block.margin->setValue(hf->MarginMm);
        for (std::size_t i = 0; i < 3; ++i) {
            block.parts[i]->setChecked(hf->PartFlags[i]);
            block.texts[i]->setText(QString::fromStdString(hf->PartTexts[i]));
        }
        applyEnablingRules(block);
    }
    cboHFont->setCurrentText(QString::fromStdString(s.BodyFontName));
    cboHHSize->setCurrentText(QString::fromStdString(s.BodySize0));
    cboHSSize->setCurrentText(QString::fromStdString(s.BodySize1));
    m_slots = {s.Header.Font, s.Footer.Font};

    m_prevListIndex = 0;
    {
        const QSignalBlocker quiet(lstHeader);
        lstHeader->setCurrentRow(0);
    }
    selectEntry(0);
}

const HeaderFooterFont& frmPageSetup::fontSlot(int index) const {
    return m_slots[index == 2 ? 1 : 0];
}

void frmPageSetup::selectEntry(int row) {
    if (row < 0 || row > 1) return;
    if (row != m_prevListIndex) storeEditor(m_slots[static_cast<std::size_t>(m_prevListIndex)]);
    loadEditor(m_slots[static_cast<std::size_t>(row)]);
    m_prevListIndex = row;
    UpdateFontSample();
}

void frmPageSetup::storeEditor(HeaderFooterFont& slot) const {
    slot.FontName = cboFont->currentText().toStdString();
    slot.FontSize = cboSize->currentText().toStdString();
    slot.FontBold = chkE[0]->isChecked();
    slot.FontItalic = chkE[1]->isChecked();
    slot.FontUnderLine = chkE[2]->isChecked();
}

void frmPageSetup::loadEditor(const HeaderFooterFont& slot) {
    cboFont->setCurrentText(QString::fromStdString(slot.FontName));
    cboSize->setCurrentText(QString::fromStdString(slot.FontSize));
    chkE[0]->setChecked(slot.FontBold);
    chkE[1]->setChecked(slot.FontItalic);
    chkE[2]->setChecked(slot.FontUnderLine);
}

void frmPageSetup::UpdateFontSample() {
    const double size = Val(cboSize->currentText().toStdString());
    if (!(size > 0) || size > kLargestSampleSize) return;
    QFont font(cboFont->currentText());
    font.setPointSizeF(size);
    font.setBold(chkE[0]->isChecked());
    font.setItalic(chkE[1]->isChecked());
    font.setUnderline(chkE[2]->isChecked());
    lblSample->setFont(font);
    const bool japanese =
        QFontDatabase::writingSystems(QFontInfo(font).family()).contains(QFontDatabase::Japanese);
    lblSample->setText(japanese ? QStringLiteral("Aaあぁアァ亜宇") : QStringLiteral("AaBbYyZz"));
    lblSample->adjustSize();
    lblSample->move(std::max(0, (picPreview->width() - lblSample->width()) / 2),
                    std::max(0, (picPreview->height() - lblSample->height()) / 2));
}

PageSetupSettings frmPageSetup::settingsFromControls() const {
    PageSetupSettings s;
    s.PaperSize = cboYSize->currentText().toStdString();
    s.Landscape = !optMuki[0]->isChecked();
    for (std::size_t i = 0; i < 4; ++i) s.MarginsMm[i] = boxInteger(numYohaku[i]);
    s.PageInit = boxInteger(numPage);
    for (const auto& [block, hf] :
         {std::pair{headerBlock(), &s.Header}, std::pair{footerBlock(), &s.Footer}}) {
        hf->flg = block.flag->isChecked();
        hf->MarginMm = boxInteger(block.margin);
        for (std::size_t i = 0; i < 3; ++i) {
            hf->PartFlags[i] = block.parts[i]->isChecked();
            hf->PartTexts[i] = block.texts[i]->text().toStdString();
        }
    }
    s.BodyFontName = cboHFont->currentText().toStdString();
    s.BodySize0 = cboHHSize->currentText().toStdString();
    s.BodySize1 = cboHSSize->currentText().toStdString();
    s.Header.Font = m_slots[0];
    s.Footer.Font = m_slots[1];
    return s;
}

bool frmPageSetup::validateInputs() {
    // The box being left is checked first, so that its own leave report is not repeated.
    std::vector<NumberBox*> boxes;
    if (auto* focused = qobject_cast<NumberBox*>(focusWidget())) boxes.push_back(focused);
    for (NumberBox* box : {numYohaku[0], numYohaku[1], numYohaku[2], numYohaku[3], numPage,
                           numHeaderMargin, numFooterMargin})
        boxes.push_back(box);
    for (NumberBox* box : boxes) {
        if (!box->isEnabled() || !box->isOutOfRange()) continue;
        for (int page = 0; page < Pages->count(); ++page) {
            if (Pages->widget(page)->isAncestorOf(box)) TabStrip1->setCurrentIndex(page);
        }
        if (!box->validateNow()) return false;
    }
    return true;
}

void frmPageSetup::saveSettings() {
    storeEditor(m_slots[static_cast<std::size_t>(m_prevListIndex)]);
    const safefile::Outcome written =
        pagesetup::WritePageSetupSettings(m_iniPath, settingsFromControls());
    if (written.ok()) return;
    m_ui.message(this,
                 QString::fromUtf8(pagesetup::texts::SaveFailed) + QStringLiteral("\n\n") +
                     QString::fromStdString(m_iniPath),
                 QString::fromUtf8(pagesetup::texts::PageSetupCaption), UiServices::Buttons::Ok,
                 UiServices::Icon::Warning);
}

QStringList ScreenFontNames(const QStringList& families) {
    // The font database names a family that several foundries offer "<family> [<foundry>]";
    // a document needs the family name alone.
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]$"));
    QStringList names;
    for (QString family : families) {
        family.remove(foundry);
        if (family.isEmpty() || family.startsWith(u'@') || names.contains(family)) continue;
        names << family;
    }
    return names;
}

void ShowPageSetupDialog(QWidget* parent, UiServices& ui, const std::string& previewIniPath,
                         const QString& printerDeviceName, const QString& helpFile) {
    frmPageSetup form(ui, previewIniPath, printerDeviceName, parent);
    form.UsrHelpFile = helpFile;
    form.UsrHelpContextID = kPageSetupHelpContext;
    form.exec();
}
