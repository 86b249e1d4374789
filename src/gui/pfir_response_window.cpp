#include "gui/pfir_response_window.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "filters/window_curves.h"
#include "gui/length_panels.h"

namespace gc {

namespace {

constexpr int kPfirFirstDrawMs = 100;

}  // namespace

TPFIRForm::TPFIRForm(const Session& m, QWidget* parent)
    : ResponseWindow(m, QStringLiteral("PFIR Фильтр"), WindowFrameStyle(337, 53, ResponsePoints + 1), kPfirFirstDrawMs,
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

void TPFIRForm::changeEvent(QEvent* event) {
    ResponseWindow::changeEvent(event);
    // Each activation draws again once the window is in front.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) StartFirstDrawTimer();
}

void TPFIRForm::Draw() {
    const PfirWindowInputs in = PfirWindowInputsOf(m_.settings, m_, m_.CurrentChannel);
    const bool modelChanged = ModelChanged();
    const bool recompute = modelChanged || !PfirCurvesFit(curves_, state_);
    if (modelChanged) {
        lengths_ = AnalyseFilterLength(m_.settings, m_, m_.CurrentChannel);
        allowed_->Show(lengths_);
        used_->Show(lengths_);
    }
    if (recompute) {
        curves_ = ComputePfirWindowCurves(in, state_);
        CurvesRecomputed();
    }
    frame_ = PfirWindowFrameOf(in, curves_, state_);
    const PfirWindowFrame& f = frame_;
    ShowFrequencyControls(!f.impulse);
    PlotFrame()->SetLevels(f.levelLabels);
    PlotFrame()->SetFractions(f.denominators, f.bottomTicks);
    if (!f.impulse) {
        PlotFrame()->SetAxisTitle(f.axisTitle);
        SetStretchText(f.stretch);
    }
    SetReadouts(f.xReadout, f.levelReadout);
    if (!recompute) {
        Area()->SetCursor(f.cursorColumn, f.cursorLineY);
        return;
    }
    WindowPlotPicture pic;
    if (!f.impulse) {
        QPolygon curve(ResponsePoints);
        for (int i = 0; i < ResponsePoints; ++i) curve.setPoint(i, i, curves_.curveY[static_cast<size_t>(i)]);
        pic.curves.push_back({Qt::black, curve});
        pic.markerColumn = f.markerColumn;
    } else {
        // One tap per column; taps beyond the area's width fall outside it.
        const TapPlot& t = curves_.tapPlot;
        QPolygon taps(t.count);
        for (int k = 0; k < t.count; ++k) taps.setPoint(k, k, t.rows[static_cast<size_t>(k)]);
        pic.curves.push_back({Qt::black, taps});
        pic.cursorHasLine = false;
    }
    pic.cursorColumn = f.cursorColumn;
    pic.cursorLineY = f.cursorLineY;
    Area()->SetPicture(std::move(pic));
}

// The impulse view exports the taps themselves, not a curve over frequency.
void TPFIRForm::SetExportNumbers(PlotExportSource& source) {
    if (state_.impulseView) {
        source.csvText = [this] {
            const PfirWindowInputs in = PfirWindowInputsOf(m_.settings, m_, m_.CurrentChannel);
            return FormatTapsCsv(in.taps, in.ntaps);
        };
    } else {
        source.curves = [this] {
            return PfirWindowCurves(PfirWindowInputsOf(m_.settings, m_, m_.CurrentChannel), state_);
        };
    }
}

}  // namespace gc
