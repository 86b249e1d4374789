#include "gui/main_window/coef_file_panel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "gui/widgets/double_click.h"
#include "gui/widgets/panel_widgets.h"
#include "session/main_view.h"

namespace gc {

namespace {

QColor FitColour(PfirFitColour c, const QPalette& normal) {
    switch (c) {
        case PfirFitColour::Red:
            return Qt::red;
        case PfirFitColour::Yellow:
            return Qt::yellow;
        case PfirFitColour::Face:
            break;
    }
    return normal.color(QPalette::Button);
}

}  // namespace

CoefFilePanel::CoefFilePanel(QWidget* part) : QObject(part), part_(part) {}

void CoefFilePanel::BuildFileWidgets(QWidget* group, QHBoxLayout* row) {
    // Narrower than the others: it makes room for "Тракт" within the window's width.
    coefFile_ = MakePanel(group, "coefFile", 80);
    row->addWidget(coefFile_, 1);
    pfirGain_ = MakePanel(group, "pfirGain", 60);
    row->addWidget(pfirGain_);
    auto* fileButton = MakeCompactButton(group, QStringLiteral("Файл"), "coefFileButton");
    row->addWidget(fileButton);
    auto* designButton = MakeCompactButton(group, QStringLiteral("Расчёт"), "designButton");
    row->addWidget(designButton);

    connect(fileButton, &QPushButton::clicked, this, &CoefFilePanel::chooseFileRequested);
    connect(designButton, &QPushButton::clicked, this, &CoefFilePanel::designRequested);
    for (QLabel* panel : {coefFile_, pfirGain_}) OnDoubleClick(panel, [this] { emit pfirWindowRequested(); });
}

QGroupBox* CoefFilePanel::BuildOutputGroup() {
    auto* group = new QGroupBox(QStringLiteral("Выходные параметры"), part_);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Выходная частота"), group), 0, 0);
    outputRate_ = MakePanel(group, "outputRate", 100);
    grid->addWidget(outputRate_, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Общее усиление"), group), 1, 0);
    totalGain_ = MakePanel(group, "totalGain", 60);
    grid->addWidget(totalGain_, 1, 1);
    halfPanel_ = MakePanel(group, "halfPanel", 40);
    halfPanel_->setText(QStringLiteral("0.5"));
    grid->addWidget(halfPanel_, 1, 2);
    for (QLabel* panel : {totalGain_, outputRate_}) OnDoubleClick(panel, [this] { emit pfirWindowRequested(); });
    return group;
}

void CoefFilePanel::Show(const MainViewState& v) {
    coefFile_->setText(QString::fromStdString(v.pfirFileName));
    SetPanelColour(coefFile_, FitColour(v.pfirColour, part_->palette()));
    pfirGain_->setText(QString::fromStdString(v.pfirGain));
    outputRate_->setText(QString::fromStdString(v.outputRateKhz));
    totalGain_->setText(QString::fromStdString(v.totalGain));
    halfPanel_->setText(QString::fromStdString(v.fixedFactor));
}

}  // namespace gc
