#include "report/ui/InpRenbanForm.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "foundation/PrivateProfile.h"
#include "foundation/ui/NumberBox.h"
#include "foundation/ui/UiServices.h"
#include "foundation/ui/UiText.h"
#include "report/ui/ChapterSettings.h"
#include "report/ui/ReportUiTexts.h"

namespace t = report_ui_text;

namespace {

// The heading text of each level under each method.
const char* const kLevelText[4][4] = {
    {"○○○", "○○○", "○○○", "○○○"},
    {"(章)○○○", "(節)○○○", "(項)○○○", "(No)○○○"},
    {"(章)○○○", "(章)-(節)○○○", "(章)-(節)-(項)○○○", "(No)○○○"},
    {"(章)○○○", "(章).(節)○○○", "(章).(節).(項)○○○", "(No)○○○"},
};

// The fixed indents of the method sample.
constexpr std::array<double, 4> kMethodIndents = {0, 2, 4, 8};

// A box value as a whole number (half away from zero); no value counts as 0.
long long wholeValue(std::optional<double> value) {
    if (!value || !std::isfinite(*value)) return 0;
    const double v = std::clamp(*value, -1e15, 1e15);
    return static_cast<long long>(v < 0 ? std::ceil(v - 0.5) : std::floor(v + 0.5));
}

std::string wholeText(std::optional<double> value) {
    return std::to_string(wholeValue(value));
}

NumberBox* makeBox(UiServices& ui, QWidget* parent, const char* caption, double min, double max,
                   const QString& name) {
    auto* box = new NumberBox(ui, parent);
    box->setObjectName(name);
    box->setCaptionText(qs(caption));
    box->setLimits(min, max);
    box->setDisplayPattern(QStringLiteral("#0"));
    box->setEditPattern(QStringLiteral("#0"));
    box->setMaximumWidth(60);
    return box;
}

QPlainTextEdit* makeSample(QWidget* parent, const QString& name) {
    auto* sample = new QPlainTextEdit(parent);
    sample->setObjectName(name);
    sample->setReadOnly(true);
    sample->setFocusPolicy(Qt::NoFocus);
    sample->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    sample->setLineWrapMode(QPlainTextEdit::NoWrap);
    sample->setMinimumSize(260, 130);
    return sample;
}

QFrame* makeFrame(QWidget* parent, const QString& name) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::NoFrame);
    return frame;
}

// Samples are stored with CR LF line ends and shown with line feeds.
QString forDisplay(const QString& sample) {
    QString shown = sample;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

}  // namespace

QString MarginSampleText(int method, const std::array<double, 4>& blanks) {
    const int m = method >= 0 && method <= 3 ? method : 0;
    QString lines[4];
    for (int level = 0; level < 4; ++level) {
        const auto count =
            static_cast<int>(std::clamp(wholeValue(blanks[static_cast<std::size_t>(level)]), 0LL,
                                        static_cast<long long>(kMarginMax)));
        lines[level] = QString(count, u' ') + qs(kLevelText[m][level]);
    }
    const QString crlf = QStringLiteral("\r\n");
    return lines[0] + crlf + lines[1] + crlf + lines[2] + crlf + lines[3] + crlf + crlf + lines[0] +
           crlf + lines[1] + crlf;
}

QString MethodSampleText(int method) {
    return MarginSampleText(method, kMethodIndents);
}

frmInpRenban::frmInpRenban(UiServices& ui, const std::string& iniFilePath, QWidget* parent)
    : DialogBase(parent) {
    setWindowTitle(qs(t::InpRenbanCaption));
    setPositionStore(iniFilePath, "InpRenban");
    buildControls(ui);
    setDialogButtons(cmdOK, cmdCancel, cmdHelp);
}

QFrame* frmInpRenban::buildMethodPage(UiServices& ui) {
    QFrame* frame = makeFrame(this, QStringLiteral("Frame1"));
    Frame4 = new QGroupBox(qs(t::MethodFrame), frame);
    Frame4->setObjectName(QStringLiteral("Frame4"));
    auto* options = new QVBoxLayout(Frame4);
    for (int i = 0; i < 4; ++i) {
        auto* option = new QRadioButton(qs(t::MethodOption[i]), Frame4);
        option->setObjectName(QStringLiteral("optMethod%1").arg(i));
        connect(option, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) optMethod_Click(i);
        });
        options->addWidget(option);
        optMethod[static_cast<std::size_t>(i)] = option;
    }
    txtMethod = makeSample(frame, QStringLiteral("txtMethod"));
    numInit = makeBox(ui, frame, t::InitCaption, kInitMin, kInitMax, QStringLiteral("numInit"));
    numInit->setValue(1);  // designed value; LoadData overwrites it

    auto* top = new QHBoxLayout;
    top->addWidget(Frame4);
    top->addWidget(txtMethod, 1);
    auto* init = new QHBoxLayout;
    init->addWidget(new QLabel(numInit->captionText(), frame));
    init->addWidget(numInit);
    init->addStretch();
    auto* layout = new QVBoxLayout(frame);
    layout->addLayout(top);
    layout->addLayout(init);
    return frame;
}

QFrame* frmInpRenban::buildStylePage() {
    QFrame* frame = makeFrame(this, QStringLiteral("Frame2"));
    auto* grid = new QGridLayout(frame);
    for (int level = 0; level < 4; ++level) {
        auto* list = new QComboBox(frame);
        list->setObjectName(QStringLiteral("cboStyle%1").arg(level));
        for (const char* entry : t::StyleEntry) list->addItem(qs(entry));
        list->setCurrentIndex(-1);
        grid->addWidget(list, level, 0);
        grid->addWidget(new QLabel(qs(t::StyleLabel[level]), frame), level, 1);
        cboStyle[static_cast<std::size_t>(level)] = list;
    }
    grid->setRowStretch(4, 1);
    return frame;
}

QFrame* frmInpRenban::buildMarginPage(UiServices& ui) {
    QFrame* frame = makeFrame(this, QStringLiteral("Frame3"));
    auto* grid = new QGridLayout;
    for (int level = 0; level < 4; ++level) {
        NumberBox* box = makeBox(ui, frame, t::MarginCaption[level], kMarginMin, kMarginMax,
                                 QStringLiteral("numMargin%1").arg(level));
        box->setValue(2 * level);  // designed values 0, 2, 4, 6; LoadData overwrites them
        connect(box, &NumberBox::valueChanged, this, [this] { numMargin_Change(); });
        grid->addWidget(new QLabel(box->captionText(), frame), level, 0);
        grid->addWidget(box, level, 1);
        numMargin[static_cast<std::size_t>(level)] = box;
    }
    grid->addWidget(new QLabel(qs(t::MarginNote), frame), 4, 0, 1, 2);
    txtMargin = makeSample(frame, QStringLiteral("txtMargin"));
    auto* layout = new QHBoxLayout(frame);
    layout->addLayout(grid);
    layout->addWidget(txtMargin, 1);
    return frame;
}

void frmInpRenban::buildControls(UiServices& ui) {
    TabStrip1 = new QTabBar(this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    for (int i = 0; i < 3; ++i) {
        TabStrip1->addTab(qs(t::TabCaption[i]));
        TabStrip1->setTabData(i, QStringLiteral("Tab%1").arg(i + 1));
    }
    Frame1 = buildMethodPage(ui);
    Frame2 = buildStylePage();
    Frame3 = buildMarginPage(ui);
    Pages = new QStackedWidget(this);
    Pages->addWidget(Frame1);
    Pages->addWidget(Frame2);
    Pages->addWidget(Frame3);
    connect(TabStrip1, &QTabBar::currentChanged, this, [this] { TabStrip1_Click(); });

    cmdOK = new QPushButton(qs(t::CmdOK), this);
    cmdCancel = new QPushButton(qs(t::CmdCancel), this);
    cmdHelp = new QPushButton(qs(t::CmdHelp), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    auto* main = new QVBoxLayout(this);
    main->addWidget(TabStrip1);
    main->addWidget(Pages);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    // The tab strip comes first in the focus order.
    setTabOrder(TabStrip1, optMethod[0]);
}

int frmInpRenban::selectedMethod() const {
    for (int i = 3; i >= 0; --i) {
        if (optMethod[static_cast<std::size_t>(i)]->isChecked()) return i;
    }
    return 0;
}

void frmInpRenban::optMethod_Click(int index) {
    txtMethod->setPlainText(forDisplay(MethodSampleText(index)));
}

void frmInpRenban::numMargin_Change() {
    std::array<double, 4> blanks{};
    for (std::size_t level = 0; level < 4; ++level) {
        blanks[level] = static_cast<double>(wholeValue(numMargin[level]->value()));
    }
    txtMargin->setPlainText(forDisplay(MarginSampleText(selectedMethod(), blanks)));
}

void frmInpRenban::TabStrip1_Click() {
    QFrame* const frames[3] = {Frame1, Frame2, Frame3};
    const QString key = TabStrip1->tabData(TabStrip1->currentIndex()).toString();
    const int shown = key == QLatin1String("Tab2") ? 1 : key == QLatin1String("Tab3") ? 2 : 0;
    // A click on a tab is no leave of the box that had the focus: move the focus by code
    // before its frame is disabled, so no leave check runs (OK checks every box instead).
    QWidget* focus = QApplication::focusWidget();
    for (QFrame* frame : frames) {
        if (focus != nullptr && frame != frames[shown] && frame->isAncestorOf(focus)) {
            TabStrip1->setFocus(Qt::OtherFocusReason);
        }
    }
    for (QFrame* frame : frames) frame->setEnabled(false);
    frames[shown]->setEnabled(true);
    Pages->setCurrentWidget(frames[shown]);
    if (shown == 2) numMargin_Change();
}

void frmInpRenban::afterLoadData() {
    optMethod_Click(selectedMethod());
    numMargin_Change();
    TabStrip1_Click();
}

bool frmInpRenban::validateInputs() {
    const std::pair<NumberBox*, int> boxes[] = {
        {numInit, 0}, {numMargin[0], 2}, {numMargin[1], 2}, {numMargin[2], 2}, {numMargin[3], 2}};
    for (const auto& [box, tab] : boxes) {
        if (!box->isOutOfRange()) continue;
        TabStrip1->setCurrentIndex(tab);
        box->validateNow();
        return false;
    }
    return true;
}

void objInpRenban_LoadData(frmInpRenban& form, const std::string& iniPath) {
    const ChapterSettings stored = ReadChapterSettings(iniPath);
    const std::int32_t method = stored.Numbering.Method;
    if (method >= 0 && method <= 3)
        form.optMethod[static_cast<std::size_t>(method)]->setChecked(true);
    form.numInit->setValue(stored.Init);
    for (std::size_t level = 0; level < 4; ++level) {
        const std::int32_t style = stored.Numbering.Style[level];
        form.cboStyle[level]->setCurrentIndex(style >= 1 && style <= 9 ? style - 1 : -1);
        form.numMargin[level]->setValue(stored.Numbering.Margin[level]);
    }
}

void objInpRenban_SaveData(frmInpRenban& form, const std::string& iniPath, UiServices& ui,
                           bool& cancel) {
    namespace k = chapter_key;
    const bool anyMethod = std::any_of(form.optMethod.begin(), form.optMethod.end(),
                                       [](const QRadioButton* o) { return o->isChecked(); });
    std::vector<std::pair<const char*, std::string>> values;
    values.emplace_back(k::Method, anyMethod ? std::to_string(form.selectedMethod()) : "");
    values.emplace_back(k::Init, wholeText(form.numInit->value()));
    for (std::size_t level = 0; level < 4; ++level) {
        values.emplace_back(k::Style[level],
                            std::to_string(form.cboStyle[level]->currentIndex() + 1));
    }
    for (std::size_t level = 0; level < 4; ++level) {
        values.emplace_back(k::Margin[level], wholeText(form.numMargin[level]->value()));
    }
    const CPrivateProfile profile;
    for (const auto& [key, value] : values) {
        if (profile.SetValueString(iniPath, k::Section, key, value)) continue;
        ui.message(&form,
                   qs(t::IniWriteFailed) + QStringLiteral("\n") + QString::fromStdString(iniPath),
                   qs(t::ProductTitle), UiServices::Buttons::Ok, UiServices::Icon::Critical);
        cancel = true;
        return;
    }
}

std::unique_ptr<frmInpRenban> CreateNumberingForm(const std::string& iniPath, UiServices& ui,
                                                  QWidget* parent) {
    auto form = std::make_unique<frmInpRenban>(ui, iniPath, parent);
    form->UsrCaption.clear();
    form->UsrHelpFile.clear();
    form->UsrHelpContextID = 0;
    frmInpRenban* objInpRenban = form.get();
    QObject::connect(objInpRenban, &DialogBase::LoadData, objInpRenban,
                     [objInpRenban, iniPath] { objInpRenban_LoadData(*objInpRenban, iniPath); });
    QObject::connect(objInpRenban, &DialogBase::SaveData, objInpRenban,
                     [objInpRenban, iniPath, &ui](bool& cancel) {
                         objInpRenban_SaveData(*objInpRenban, iniPath, ui, cancel);
                     });
    return form;
}

void ShowNumberingForm(const std::string& iniPath, UiServices& ui, QWidget* parent) {
    const std::unique_ptr<frmInpRenban> form = CreateNumberingForm(iniPath, ui, parent);
    form->exec();
}
