#include "workspace/ui/InpJyokenForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "engine/ConditionLimits.h"
#include "foundation/ui/ByteLimitedLineEdit.h"
#include "foundation/ui/NumberBox.h"
#include "workspace/WorkspaceState.h"

namespace {

constexpr int kTitleBytes = 80;

struct BoxSpec {
    NumberBox* frmInpJyoken::*box;
    const char* caption;
    const char* display;
    const char* edit;
    double defaultValue;
    int slot;  // also names the box's limits (engine/ConditionLimits.h)
};

// Caption text, patterns, default and condition slot of each box.
const BoxSpec kBoxes[] = {
    {&frmInpJyoken::numH, "天端高 (標高，m)", "+##0.000; -##0.000", "##0.000", 2.0, CondTopLevel},
    {&frmInpJyoken::numTai, "タイ材取付位置 (標高，m)", "+##0.000; -##0.000", "##0.000", 0.0,
     CondTieLevel},
    {&frmInpJyoken::numDL, "設計水深 (標高，m)", "+##0.000; -##0.000", "##0.000", -10.0,
     CondDesignLevel},
    {&frmInpJyoken::numE, "矢板壁のﾔﾝｸﾞ係数Ｅ(N/mm2)", "###,##0", "#####0", 200000, CondYoung},
    {&frmInpJyoken::numI, "矢板壁の断面2次ﾓｰﾒﾝﾄＩ(cm4/m)", "#,###,##0", "######0", 1000,
     CondInertia},
    {&frmInpJyoken::numZ1, "地上部", "##,##0", "####0", 0, CondZUpper},
    {&frmInpJyoken::numZ2, "地中部", "##,##0", "####0", 0, CondZLower},
    {&frmInpJyoken::numF, "矢板壁の根入れ長に対する安全率Ｆ", "0.0", "0.0", 1.2, CondSafetyFactor},
    {&frmInpJyoken::numSsa, "許容応力度σa(N/mm2)", "##0", "##0", 180, CondAllowableStress},
    {&frmInpJyoken::numStep, "断面力算出点間隔ΔＬ(m)", "0.0", "0.0", 0.5, CondPitch},
};

// A small sketch of the anchored wall: wall, tie rod with its anchor, sea level and bottom.
QPixmap wallSketch() {
    QPixmap pixmap(150, 170);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setPen(QPen(Qt::darkBlue, 1));
    p.drawLine(0, 40, 70, 40);                           // ground, land side
    p.fillRect(0, 41, 70, 128, QColor(235, 225, 200));   // soil, land side
    p.fillRect(71, 120, 79, 49, QColor(235, 225, 200));  // soil below the design depth
    p.setPen(QPen(QColor(80, 130, 200), 1, Qt::DashLine));
    p.drawLine(71, 60, 150, 60);  // sea level
    p.setPen(QPen(Qt::darkBlue, 1));
    p.drawLine(71, 120, 150, 120);  // design sea bottom
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(70, 25, 70, 160);  // sheet-pile wall
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(15, 50, 70, 50);  // tie rod
    p.drawLine(15, 42, 15, 70);  // anchor
    p.setPen(Qt::black);
    p.drawText(78, 30, QStringLiteral("H"));
    p.drawText(78, 54, QStringLiteral("Tie"));
    p.drawText(110, 116, QStringLiteral("D.L."));
    p.setPen(QPen(Qt::gray, 1));
    p.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    return pixmap;
}

NumberBox* addRow(QGridLayout* grid, int row, NumberBox* box, const QString& label) {
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(box, row, 1);
    return box;
}

}  // namespace

frmInpJyoken::frmInpJyoken(UiServices& ui, const std::string& iniFilePath, QWidget* parent)
    : DialogBase(parent) {
    setWindowTitle(QStringLiteral("計算条件の入力"));
    setPositionStore(iniFilePath, "InpJyoken");
    buildControls(ui);
    setDialogButtons(cmdOK, cmdCancel, cmdHelp);
}

void frmInpJyoken::buildControls(UiServices& ui) {
    txtTitle = new ByteLimitedLineEdit(this);
    txtTitle->setObjectName(QStringLiteral("txtTitle"));
    txtTitle->setByteLimit(kTitleBytes);
    txtTitle->setRefusedCharacters(QStringLiteral("\""));
    txtTitle->setRefusesUnencodable(true);
    txtTitle->setMinimumWidth(txtTitle->fontMetrics().horizontalAdvance(QString(40, u'あ')) / 2);

    for (const BoxSpec& spec : kBoxes) {
        auto* box = new NumberBox(ui, this);
        box->setCaptionText(QString::fromUtf8(spec.caption));
        const ConditionLimit& limit = *ConditionLimitOf(spec.slot);
        box->setLimits(limit.min, limit.max);
        box->setDisplayPattern(QString::fromUtf8(spec.display));
        box->setEditPattern(QString::fromUtf8(spec.edit));
        box->setRangeCheckEnabled(limit.checked);
        this->*spec.box = box;
    }
    numH->setObjectName(QStringLiteral("numH"));
    numTai->setObjectName(QStringLiteral("numTai"));
    numDL->setObjectName(QStringLiteral("numDL"));
    numE->setObjectName(QStringLiteral("numE"));
    numI->setObjectName(QStringLiteral("numI"));
    numZ1->setObjectName(QStringLiteral("numZ1"));
    numZ2->setObjectName(QStringLiteral("numZ2"));
    numF->setObjectName(QStringLiteral("numF"));
    numSsa->setObjectName(QStringLiteral("numSsa"));
    numStep->setObjectName(QStringLiteral("numStep"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("検討ｹｰｽ名")), 0, 0);
    grid->addWidget(txtTitle, 0, 1, 1, 3);
    int row = 1;
    for (NumberBox* box : {numH, numTai, numDL, numE, numI})
        addRow(grid, row++, box, box->captionText());
    // The two section moduli share one caption: "矢板壁の断面係数" over "Ｚ(cm3/m)".
    auto* zLabel = new QLabel(QStringLiteral("矢板壁の断面係数\nＺ(cm3/m)"));
    grid->addWidget(zLabel, row, 0, 2, 1);
    grid->addWidget(new QLabel(numZ1->captionText()), row, 2);
    grid->addWidget(numZ1, row, 1);
    ++row;
    grid->addWidget(new QLabel(numZ2->captionText()), row, 2);
    grid->addWidget(numZ2, row, 1);
    ++row;
    for (NumberBox* box : {numF, numSsa, numStep}) addRow(grid, row++, box, box->captionText());

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(wallSketch());
    Image1->setFrameShape(QFrame::Box);

    cmdOK = new QPushButton(QStringLiteral("OK(&O)"), this);
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"), this);
    cmdHelp = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));

    auto* side = new QVBoxLayout;
    side->addWidget(Image1);
    side->addStretch();
    auto* top = new QHBoxLayout;
    top->addLayout(grid);
    top->addLayout(side);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(txtTitle, numH);
    QWidget* previous = numH;
    for (NumberBox* box : {numTai, numDL, numE, numI, numZ1, numZ2, numF, numSsa, numStep}) {
        setTabOrder(previous, box);
        previous = box;
    }
    setTabOrder(numStep, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, cmdHelp);
}

void objInpJyoken_LoadData(frmInpJyoken& form, const WorkspaceState& state) {
    form.txtTitle->setText(QStringLiteral("(未定義)"));
    for (const BoxSpec& spec : kBoxes) (form.*spec.box)->setValue(spec.defaultValue);
    if (!state.Model.InputDataSet) return;

    const ConditionSet& cond = state.Model.CondData;
    form.txtTitle->setText(QString::fromStdString(cond(CondTitle).toText()));
    for (const BoxSpec& spec : kBoxes) {
        const Slot& slot = cond(spec.slot);
        if (slot.isEmpty()) {
            (form.*spec.box)->setValue(std::nullopt);
            continue;
        }
        // A slot that holds no number cannot be assigned; the box keeps its default.
        const std::optional<double> value = slot.toNumber();
        if (value && std::isfinite(*value)) (form.*spec.box)->setValue(*value);
    }
}

void objInpJyoken_SaveData(frmInpJyoken& form, WorkspaceState& state, bool& cancel) {
    (void)cancel;
    ConditionSet& cond = state.Model.CondData;
    cond(CondTitle) = Slot::text(form.txtTitle->text().toStdString());
    for (const BoxSpec& spec : kBoxes) {
        const std::optional<double> value = (form.*spec.box)->value();
        cond(spec.slot) = value ? Slot::number(*value) : Slot{};
    }
    state.Model.InputDataSet = true;
    state.DataChanged = true;
}

std::unique_ptr<frmInpJyoken> CreateConditionsForm(WorkspaceState& state, UiServices& ui,
                                                   QWidget* parent) {
    auto form = std::make_unique<frmInpJyoken>(ui, state.IniFilePath, parent);
    form->UsrCaption.clear();
    form->UsrHelpFile.clear();
    form->UsrHelpContextID = 0;
    frmInpJyoken* objInpJyoken = form.get();
    QObject::connect(objInpJyoken, &DialogBase::LoadData, objInpJyoken,
                     [objInpJyoken, &state] { objInpJyoken_LoadData(*objInpJyoken, state); });
    QObject::connect(objInpJyoken, &DialogBase::SaveData, objInpJyoken,
                     [objInpJyoken, &state](bool& cancel) {
                         objInpJyoken_SaveData(*objInpJyoken, state, cancel);
                     });
    return form;
}

void ShowConditionsForm(WorkspaceState& state, UiServices& ui, QWidget* parent) {
    const std::unique_ptr<frmInpJyoken> form = CreateConditionsForm(state, ui, parent);
    form->exec();
}
