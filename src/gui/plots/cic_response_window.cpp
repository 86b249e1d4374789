#include "gui/plots/cic_response_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "filters/window_curves.h"
#include "gui/widgets/labels.h"

namespace gc {

namespace {

constexpr int kCicFirstDrawMs = 200;

}  // namespace

CicResponseWindow::CicResponseWindow(QWidget* parent)
    : ResponseWindow(QStringLiteral("CIC Фильтр"), WindowFrameStyle(304, 33, kResponsePoints), kCicFirstDrawMs,
                     parent) {
    setObjectName(QStringLiteral("CIC5Form"));

    auto* alias = new QVBoxLayout;
    alias->setSpacing(0);
    auto* aliasLabel = new QLabel(QStringLiteral("Alias"), this);
    QFont bold = aliasLabel->font();
    bold.setBold(true);
    aliasLabel->setFont(bold);
    QPalette red = aliasLabel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    aliasLabel->setPalette(red);
    alias->addWidget(aliasLabel);
    aliasBox_ = new QCheckBox(this);
    aliasBox_->setObjectName(QStringLiteral("aliasBox"));
    aliasBox_->setFocusPolicy(Qt::NoFocus);
    alias->addWidget(aliasBox_, 0, Qt::AlignHCenter);
    bottomRow_->insertLayout(0, alias);
    bottomRow_->insertSpacing(1, 6);
    connect(aliasBox_, &QCheckBox::clicked, this, [this](bool checked) {
        state_.CicAliasMode = checked ? 1 : 0;
        Update();
    });

    auto* top = new QHBoxLayout(this);
    top->setContentsMargins(4, 4, 4, 4);
    top->addLayout(column_);
}

void CicResponseWindow::SetChannel(int channel, const CicWindowInputs& in) {
    SetChannelShown(channel);
    if (in == in_) return;
    in_ = in;
    InputsChanged();
}

void CicResponseWindow::Draw(bool recomputed) {
    frame_ = CicWindowFrameOf(in_, curves_, state_);
    const CicWindowFrame& f = frame_;
    PlotFrame()->SetFractions(f.labels.denominators, f.labels.mhzTicks);
    PlotFrame()->SetAxisTitle(f.labels.axisTitle);
    SetStretchText(f.labels.stretch);
    SetReadouts(f.xReadout, f.levelReadout);
    if (!recomputed) {
        Area()->SetCursor(f.cursorColumn, f.cursorLineY);
        return;
    }
    PlotPicture pic;
    if (!f.alias) {
        pic.curves.push_back(CurveOfRows(Qt::black, curves_.curveY.data(), kResponsePoints));
        pic.markerColumn = f.markerColumn;
    } else {
        // Zone by zone in red; no marker in this view.
        pic.curves.reserve(curves_.aliasView.rows.size());
        for (const auto& zone : curves_.aliasView.rows)
            pic.curves.push_back(CurveOfRows(Qt::red, zone.data(), kResponsePoints));
    }
    pic.cursorColumn = f.cursorColumn;
    pic.cursorLineY = f.cursorLineY;
    Area()->SetPicture(std::move(pic));
}

// Every zone drawn in the aliasing view is a curve of its own.
void CicResponseWindow::SetExportNumbers(PlotExportSource& source) {
    source.curves = [this] { return CicWindowCurves(in_, state_); };
}

}  // namespace gc
