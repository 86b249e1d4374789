#include "gui/main_window/cic_pfir_panel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVariant>

#include "gui/widgets/double_click.h"
#include "gui/widgets/panel_widgets.h"
#include "session/main_view.h"

namespace gc {

CicPfirPanel::CicPfirPanel(QWidget* part) : QObject(part), part_(part) {}

QGroupBox* CicPfirPanel::BuildCicGroup() {
    auto* group = new QGroupBox(QStringLiteral("CIC Фильтр"), part_);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Децимация"), group), 0, 0);
    cicEdit_ = MakeEdit(group, "cicEdit", 60);
    grid->addWidget(cicEdit_, 0, 1);
    static const int kSteps[8] = {1, -1, 2, -2, 10, -10, 100, -100};
    for (int k = 0; k < 8; ++k) {
        const int step = kSteps[k];
        const QString text = (step > 0 ? QStringLiteral("+%1") : QStringLiteral("%1")).arg(step);
        cicSteppers_[k] = MakeButton(group, text, "");
        cicSteppers_[k]->setObjectName(QStringLiteral("cicStep%1").arg(text));
        cicSteppers_[k]->setFixedWidth(40);
        grid->addWidget(cicSteppers_[k], k % 2, 2 + k / 2);
        connect(cicSteppers_[k], &QPushButton::clicked, this, [this, step] { emit cicStepped(step); });
    }
    cicNorm_ = MakePanel(group, "cicNorm", 60);
    grid->addWidget(cicNorm_, 1, 1);
    auto* window = MakeButton(group, QStringLiteral("АЧХ"), "cicWindowButton");
    window->setFixedWidth(40);
    grid->addWidget(window, 0, 6);

    connect(cicEdit_, &QLineEdit::editingFinished, this,
            [this] { emit textEdited(ControlField::CicDec, cicEdit_->text()); });
    connect(window, &QPushButton::clicked, this, &CicPfirPanel::cicWindowRequested);
    OnDoubleClick(cicNorm_, [this] { emit pfirWindowRequested(); });
    return group;
}

QGroupBox* CicPfirPanel::BuildPfirGroup(const std::function<void(QWidget*, QHBoxLayout*)>& fileWidgets) {
    auto* group = new QGroupBox(QStringLiteral("PFIR Фильтр"), part_);
    auto* row = new QHBoxLayout(group);
    row->addWidget(new QLabel(QStringLiteral("Децимация"), group));
    firDecCombo_ = new QComboBox(group);
    firDecCombo_->setObjectName("firDecCombo");
    for (int d = 1; d <= 8; ++d) firDecCombo_->addItem(QString::number(d));
    row->addWidget(firDecCombo_);
    fileWidgets(group, row);
    auto* pfirWindow = MakeCompactButton(group, QStringLiteral("АЧХ"), "pfirWindowButton");
    row->addWidget(pfirWindow);
    auto* chainWindow = MakeCompactButton(group, QStringLiteral("Тракт"), "chainWindowButton");
    row->addWidget(chainWindow);

    connect(firDecCombo_, &QComboBox::currentIndexChanged, this, &CicPfirPanel::firDecChosen);
    connect(pfirWindow, &QPushButton::clicked, this, &CicPfirPanel::pfirWindowRequested);
    connect(chainWindow, &QPushButton::clicked, this, &CicPfirPanel::chainWindowRequested);
    return group;
}

void CicPfirPanel::Show(const MainViewState& v) {
    cicSteppers_[0]->setEnabled(v.cicStepOneEnabled);
    cicSteppers_[1]->setEnabled(v.cicStepOneEnabled);
    cicEdit_->setText(QString::fromStdString(v.cicDecText));
    SetComboIndex(firDecCombo_, v.firDecIndex);
    cicNorm_->setText(QString::fromStdString(v.cicNorm));
    // Above 1 the CIC output is louder than its input: red, and the tooltip says by how much.
    const bool loud = !v.cicGainWarning.empty();
    if (loud)
        SetPanelColour(cicNorm_, Qt::red);
    else
        cicNorm_->setPalette(part_->palette());
    if (!cicNorm_->property("plainToolTip").isValid()) cicNorm_->setProperty("plainToolTip", cicNorm_->toolTip());
    const QString plain = cicNorm_->property("plainToolTip").toString();
    cicNorm_->setToolTip(loud ? plain + "\n" + QString::fromStdString(v.cicGainWarning) : plain);
}

}  // namespace gc
