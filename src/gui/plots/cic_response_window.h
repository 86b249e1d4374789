// "CIC Фильтр": the selected channel's 5-stage CIC by itself, over its own
// zoom, or in the aliasing view that folds every Nyquist zone of the CIC
// input onto the output band.
#pragma once

#include "filters/cic_window.h"
#include "gui/plots/response_window.h"

class QCheckBox;

namespace gc {

class CicResponseWindow : public ResponseWindow {
    Q_OBJECT

public:
    explicit CicResponseWindow(QWidget* parent = nullptr);

    // The channel shown; the next draw recomputes when it differs.
    void SetChannel(int channel, const CicWindowInputs& in);

    const CicWindowState& State() const { return state_; }
    const CicWindowFrame& Frame() const { return frame_; }

protected:
    bool CurvesFit() const override { return CicCurvesFit(curves_, in_, state_); }
    void Calc() override { curves_ = ComputeCicWindowCurves(in_, state_); }
    // RedrawCicWindow: the curve, captions, marker, cursor and read-outs.
    void Draw(bool recomputed) override;
    WindowCursor& Cursor() override { return state_.cursor; }
    bool ZoomDouble() override { return CicZoomDouble(state_); }
    bool ZoomHalve() override { return CicZoomHalve(state_); }
    bool ZoomMax() override { return CicZoomMax(state_); }
    bool ZoomReset() override { return CicZoomReset(state_); }
    void SetExportNumbers(PlotExportSource& source) override;

private:
    CicWindowInputs in_;
    CicWindowState state_;
    CicWindowCurves curves_;
    CicWindowFrame frame_;
    QCheckBox* aliasBox_ = nullptr;
};

}  // namespace gc
