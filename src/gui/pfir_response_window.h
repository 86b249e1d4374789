// "PFIR Фильтр": the selected channel's fitted PFIR by itself, as a response
// over a fraction of its own input rate or, with "IR" ticked, as its taps;
// beside it the filter length analysis.
#pragma once

#include "filters/length_analysis.h"
#include "filters/pfir_window.h"
#include "gui/response_window.h"

class QCheckBox;

namespace gc {

class AllowedLengthPanel;
class UsedFilterPanel;

class TPFIRForm : public ResponseWindow {
    Q_OBJECT

public:
    explicit TPFIRForm(const Session& m, QWidget* parent = nullptr);

    const PfirWindowState& State() const { return state_; }
    const PfirWindowFrame& Frame() const { return frame_; }
    const FilterLengthAnalysis& Lengths() const { return lengths_; }

protected:
    // RedrawPfirWindow: the length analysis (when the model changed), then the
    // frequency or impulse view.
    void Draw() override;
    WindowCursor& Cursor() override { return state_.cursor; }
    bool ZoomDouble() override { return PfirZoomDouble(state_); }
    bool ZoomHalve() override { return PfirZoomHalve(state_); }
    bool ZoomMax() override { return PfirZoomMax(state_); }
    bool ZoomReset() override { return PfirZoomReset(state_); }
    void SetExportNumbers(PlotExportSource& source) override;
    void changeEvent(QEvent* event) override;

private:
    PfirWindowState state_;
    PfirWindowCurves curves_;
    PfirWindowFrame frame_;
    FilterLengthAnalysis lengths_;
    QCheckBox* irBox_ = nullptr;
    AllowedLengthPanel* allowed_ = nullptr;
    UsedFilterPanel* used_ = nullptr;
};

}  // namespace gc
