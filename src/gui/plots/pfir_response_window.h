// "PFIR Фильтр": the selected channel's fitted PFIR by itself, as a response
// over a fraction of its own input rate or, with "IR" ticked, as its taps;
// beside it the filter length analysis.
#pragma once

#include "filters/length_analysis.h"
#include "filters/pfir_window.h"
#include "gui/plots/response_window.h"

#include <vector>

class QCheckBox;

namespace gc {

class AllowedLengthPanel;
class UsedFilterPanel;

class PfirResponseWindow : public ResponseWindow {
    Q_OBJECT

public:
    explicit PfirResponseWindow(QWidget* parent = nullptr);

    // The channel shown: its window inputs (the taps are copied) and its
    // length analysis; the next draw recomputes when they differ.
    void SetChannel(int channel, const PfirWindowInputs& in, const FilterLengthAnalysis& lengths);

    const PfirWindowState& State() const { return state_; }
    const PfirWindowFrame& Frame() const { return frame_; }
    const FilterLengthAnalysis& Lengths() const { return lengths_; }

protected:
    bool CurvesFit() const override { return PfirCurvesFit(curves_, state_); }
    // The curves of the view, and the length analysis beside them.
    void Calc() override;
    // RedrawPfirWindow: the frequency or impulse view.
    void Draw(bool recomputed) override;
    WindowCursor& Cursor() override { return state_.cursor; }
    bool ZoomDouble() override { return PfirZoomDouble(state_); }
    bool ZoomHalve() override { return PfirZoomHalve(state_); }
    bool ZoomMax() override { return PfirZoomMax(state_); }
    bool ZoomReset() override { return PfirZoomReset(state_); }
    void SetExportNumbers(PlotExportSource& source) override;
    void changeEvent(QEvent* event) override;

private:
    PfirWindowInputs in_;  // its taps point into taps_
    std::vector<int32_t> taps_;
    PfirWindowState state_;
    PfirWindowCurves curves_;
    PfirWindowFrame frame_;
    FilterLengthAnalysis lengths_;
    QCheckBox* irBox_ = nullptr;
    AllowedLengthPanel* allowed_ = nullptr;
    UsedFilterPanel* used_ = nullptr;
};

}  // namespace gc
