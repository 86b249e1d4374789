#include "gui/plots/pfir_response_window.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "filters/window_curves.h"
#include "gui/plots/length_panels.h"

namespace gc {

namespace {

constexpr int kPfirFirstDrawMs = 100;

}  // namespace

PfirResponseWindow::PfirResponseWindow(QWidget* parent)
    : ResponseWindow(QStringLiteral("PFIR Фильтр"), WindowFrameStyle(337, 53, kResponsePoints + 1), kPfirFirstDrawMs,
                     parent) {
    setObjectName(QStringLiteral("PFIRForm"));

    irBox_ = new QCheckBox(QStringLiteral("IR"), this);
    irBox_->setObjectName(QStringLiteral("irBox"));
    irBox_->setFocusPolicy(Qt::NoFocus);
    QFont bold = irBox_->font();
    bold.setBold(true);
    irBox_->setFont(bold);
    topRow_->insertWidget(0, irBox_);
    connect(irBox_, &QCheckBox::clicked, this, [this](bool checked) {
        state_.impulseView = checked;
        Update();
    });

    allowed_ = new AllowedLengthPanel(this);
    used_ = new UsedFilterPanel(this);
    auto* top = new QHBoxLayout(this);
    top->setContentsMargins(4, 4, 4, 4);
    top->setSpacing(3);
    top->addLayout(column_);
    auto* panels = new QVBoxLayout;
    panels->addSpacing(20);
    auto* both = new QHBoxLayout;
    both->setSpacing(3);
    both->addWidget(allowed_);
    both->addWidget(used_);
    panels->addLayout(both);
    panels->addStretch(1);
    top->addLayout(panels);
}

void PfirResponseWindow::changeEvent(QEvent* event) {
    ResponseWindow::changeEvent(event);
    // Each activation draws again once the window is in front.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) StartFirstDrawTimer();
}

void PfirResponseWindow::SetChannel(int channel, const PfirWindowInputs& in, const FilterLengthAnalysis& lengths) {
    SetChannelShown(channel);
    const int n = std::clamp(in.ntaps, 0, kMaxTaps);
    std::vector<int32_t> taps(in.taps, in.taps + (in.taps ? n : 0));
    if (taps == taps_ && in.systemClock == in_.systemClock && in.R == in_.R && in.firDec == in_.firDec &&
        in.ntaps == in_.ntaps && lengths == lengths_)
        return;
    taps_ = std::move(taps);
    taps_.resize(kMaxTaps);  // the window reads all 512, zero beyond ntaps
    in_ = in;
    in_.taps = taps_.data();
    lengths_ = lengths;
    InputsChanged();
}

void PfirResponseWindow::Calc() {
    curves_ = ComputePfirWindowCurves(in_, state_);
    allowed_->Show(lengths_);
    used_->Show(lengths_);
}

void PfirResponseWindow::Draw(bool recomputed) {
    frame_ = PfirWindowFrameOf(in_, curves_, state_);
    const PfirWindowFrame& f = frame_;
    ShowFrequencyControls(!f.impulse);
    PlotFrame()->SetLevels(f.levelLabels);
    PlotFrame()->SetFractions(f.denominators, f.bottomTicks);
    if (!f.impulse) {
        PlotFrame()->SetAxisTitle(f.axisTitle);
        SetStretchText(f.stretch);
    }
    SetReadouts(f.xReadout, f.levelReadout);
    if (!recomputed) {
        Area()->SetCursor(f.cursorColumn, f.cursorLineY);
        return;
    }
    PlotPicture pic;
    if (!f.impulse) {
        pic.curves.push_back(CurveOfRows(Qt::black, curves_.curveY.data(), kResponsePoints));
        pic.markerColumn = f.markerColumn;
    } else {
        // One tap per column; taps beyond the area's width fall outside it.
        const TapPlot& t = curves_.tapPlot;
        pic.curves.push_back(CurveOfRows(Qt::black, t.rows.data(), t.count));
        pic.cursorHasLine = false;
    }
    pic.cursorColumn = f.cursorColumn;
    pic.cursorLineY = f.cursorLineY;
    Area()->SetPicture(std::move(pic));
}

// The impulse view exports the taps themselves, not a curve over frequency.
void PfirResponseWindow::SetExportNumbers(PlotExportSource& source) {
    if (state_.impulseView) {
        source.csvText = [this] { return FormatTapsCsv(in_.taps, in_.ntaps); };
    } else {
        source.curves = [this] { return PfirWindowCurves(in_, state_); };
    }
}

}  // namespace gc
