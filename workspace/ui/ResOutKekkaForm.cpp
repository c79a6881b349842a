#include "workspace/ui/ResOutKekkaForm.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <string_view>

#include "foundation/NumberFormat.h"
#include "workspace/WorkspaceState.h"

namespace {

constexpr char kElevation[] = "+##0.000;-##0.000";
constexpr char kForce[] = "#,##0.000";
constexpr char kSmall[] = "###0.0";

// The rows of the table, top to bottom: caption (empty: the row above continues), sub-caption,
// value label and display pattern.
struct ResultRow {
    const char* caption;
    const char* subCaption;
    QLabel* frmResOutKekka::*label;
    const char* pattern;
};
const ResultRow kRows[] = {
    {"計算根入れ先端高　Ｄ．Ｌ． (m)", "", &frmResOutKekka::lblNeire, "+##0.000;-##0.000"},
    {"必要根入れ先端高　Ｄ．Ｌ． (m)", "", &frmResOutKekka::lblELFD, "+##0.000;-##0.000"},
    {"最大曲げモーメント　Ｍmax (kN･m/m)", "", &frmResOutKekka::lblMmax, "#,##0.000"},
    {"（発生位置　Ｄ．Ｌ． (m)）", "", &frmResOutKekka::lblMaDL, "+##0.000;-##0.000"},
    {"最小曲げモーメント　Ｍmin (kN･m/m)", "", &frmResOutKekka::lblMmin, "#,##0.000"},
    {"（発生位置　Ｄ．Ｌ． (m)）", "", &frmResOutKekka::lblMiDL, "+##0.000;-##0.000"},
    {"Ｍ＝０点　Ｄ．Ｌ． (m)", "", &frmResOutKekka::lblM, "+##0.000;-##0.000"},
    {"タイ材取付点反力 Ａp (kN/m)", "", &frmResOutKekka::lblRa, "#,##0.000"},
    {"矢板壁下端反力 Ｒd (kN/m)", "", &frmResOutKekka::lblRb, "#,##0.000"},
    {"最大水平変位量δ(mm)", "δmax", &frmResOutKekka::lblDmax, "###0.0"},
    {"", "δmin", &frmResOutKekka::lblDmin, "###0.0"},
    {"矢板壁の応力度σ(N/mm2)", "Ｍmax位置", &frmResOutKekka::lblSmax, "###0.0"},
    {"", "Ｍmin位置", &frmResOutKekka::lblSmin, "###0.0"},
};

// The pattern's first section, as a value label shows it until it is filled.
QString patternCaption(std::string_view pattern) {
    return QString::fromUtf8(pattern.substr(0, pattern.find(';')));
}

// The longest value a label shows: "-999,999,999,999.999". A longer one, which only loads
// far beyond any real wall give, shows as a row of "*" instead of digits cut off.
constexpr qsizetype kMaxValueChars = 20;

// Sets a label to a formatted value and widens it to the whole text; a value that cannot be
// formatted leaves the label alone.
void showValue(QLabel* label, double value, const char* pattern) {
    if (label == nullptr || !std::isfinite(value)) return;
    QString text = QString::fromStdString(FormatNumber(value, pattern));
    if (text.size() > kMaxValueChars) text = QString(kMaxValueChars / 2, u'*');
    label->setText(text);
    label->setMinimumWidth(std::max(label->minimumWidth(), label->sizeHint().width()));
}

}  // namespace

frmResOutKekka::frmResOutKekka(const std::string& iniFilePath, QWidget* parent)
    : DialogBase(parent) {
    setWindowTitle(QStringLiteral("結果一覧表示"));
    setPositionStore(iniFilePath, "ResOutKekka");
    buildControls();
    setDialogButtons(nullptr, nullptr, cmdHelp);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    adjustSize();
}

void frmResOutKekka::buildControls() {
    auto* table = new QFrame(this);
    table->setFrameShape(QFrame::Box);
    auto* grid = new QGridLayout(table);
    grid->setHorizontalSpacing(16);
    auto* heading = new QLabel(QStringLiteral("結　果"), table);
    heading->setAlignment(Qt::AlignCenter);
    grid->addWidget(heading, 0, 2);
    int row = 1;
    for (const ResultRow& r : kRows) {
        if (r.caption[0] != '\0') {
            auto* caption = new QLabel(QString::fromUtf8(r.caption), table);
            // A caption with sub-captions spans its following sub-caption rows.
            int span = 1;
            for (const ResultRow* next = &r + 1;
                 next != std::end(kRows) && next->caption[0] == '\0'; ++next) {
                ++span;
            }
            grid->addWidget(caption, row, 0, span, 1);
            lblTitle.append(caption);
        }
        if (r.subCaption[0] != '\0') {
            grid->addWidget(new QLabel(QString::fromUtf8(r.subCaption), table), row, 1);
        }
        auto* value = new QLabel(patternCaption(r.pattern), table);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(110);
        value->setFrameShape(QFrame::Panel);
        value->setFrameShadow(QFrame::Sunken);
        this->*(r.label) = value;
        grid->addWidget(value, row, 2);
        ++row;
    }

    Label2 = new QLabel(QStringLiteral("(注意)"), this);
    Label1 = new QLabel(QStringLiteral("ＭmaxおよびＭminは理論解で計算ﾋﾟｯﾁには依存していませんが，δ"
                                       "maxおよびδminは計算ﾋﾟｯﾁに依存します。"),
                        this);
    Label1->setWordWrap(true);
    cmdClose = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    cmdHelp = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this);

    auto* note = new QHBoxLayout;
    note->addWidget(Label2, 0, Qt::AlignTop);
    note->addWidget(Label1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    buttons->addWidget(cmdHelp);
    auto* main = new QVBoxLayout(this);
    main->addWidget(table);
    main->addLayout(note);
    main->addLayout(buttons);
    cmdClose->setFocus();
}

void objResOutKekka_LoadData(frmResOutKekka& form, const WorkspaceState& state) {
    const AnalysisResult* result = state.Result.get();
    if (result == nullptr) return;
    const auto& s = result->ResultSummary;
    showValue(form.lblNeire, s(SummaryTipLevel), kElevation);
    showValue(form.lblELFD, result->RequiredTipLevel, kElevation);
    showValue(form.lblMmax, s(SummaryMmax), kForce);
    showValue(form.lblMaDL, s(SummaryMmaxLevel), kElevation);
    showValue(form.lblMmin, s(SummaryMmin), kForce);
    showValue(form.lblMiDL, s(SummaryMminLevel), kElevation);
    showValue(form.lblM, s(SummaryZeroMomentLevel), kElevation);
    showValue(form.lblRa, s(SummaryTieReaction), kForce);
    showValue(form.lblRb, s(SummaryTipReaction), kForce);
    showValue(form.lblDmax, result->DeltaMax, kSmall);
    showValue(form.lblDmin, result->DeltaMin, kSmall);

    // Stresses only with both section moduli of at least 1 cm3/m; a modulus that is not a
    // number skips the statement.
    const auto z1 = state.Model.CondData(CondZUpper).toNumber();
    const auto z2 = state.Model.CondData(CondZLower).toNumber();
    if (!z1 || !z2) return;
    if (*z1 >= 1 && *z2 >= 1) {
        showValue(form.lblSmax, s(SummaryStressAtMmax), kSmall);
        showValue(form.lblSmin, s(SummaryStressAtMmin), kSmall);
    } else {
        form.lblSmax->setText(QStringLiteral("-----"));
        form.lblSmin->setText(QStringLiteral("-----"));
    }
}

std::unique_ptr<frmResOutKekka> CreateResultsForm(const WorkspaceState& state, QWidget* parent) {
    auto form = std::make_unique<frmResOutKekka>(state.IniFilePath, parent);
    form->UsrCaption.clear();
    form->UsrHelpFile.clear();
    form->UsrHelpContextID = 0;
    frmResOutKekka* f = form.get();
    QObject::connect(f, &DialogBase::LoadData, f,
                     [f, &state] { objResOutKekka_LoadData(*f, state); });
    return form;
}

void ShowResultsForm(WorkspaceState& state, UiServices&, QWidget* parent) {
    const auto form = CreateResultsForm(state, parent);
    form->exec();
}
