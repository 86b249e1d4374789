// What every plot keeps apart: computing its curves and drawing them. Its
// owner feeds it through setters; a change of the inputs asks for new curves,
// a change of the view (cursor, a zoom that keeps the curves) only for a
// redraw, and the plot refreshes once for whatever was asked since.
#pragma once

#include <functional>

namespace gc {

// Ordered: a larger need includes the smaller ones.
enum class PlotNeed { None, Draw, Calc };

class PlotModel {
public:
    void Need(PlotNeed need) {
        if (need > need_) need_ = need;
    }
    // New inputs: the curves kept no longer hold.
    void InputsChanged() { Need(PlotNeed::Calc); }
    // A view change; curvesFit: whether the curves kept still serve it.
    void ViewChanged(bool curvesFit) { Need(curvesFit ? PlotNeed::Draw : PlotNeed::Calc); }
    PlotNeed Pending() const { return need_; }

    // The one recompute point of every plot: calc() runs when new curves were
    // asked for, then draw(recomputed) in any case; the need is then cleared.
    // Returns whether the curves were recomputed.
    bool Refresh(const std::function<void()>& calc, const std::function<void(bool recomputed)>& draw);

    int CalcCount() const { return calcs_; }
    int DrawCount() const { return draws_; }

private:
    PlotNeed need_ = PlotNeed::Calc;  // nothing computed yet
    int calcs_ = 0;
    int draws_ = 0;
};

}  // namespace gc
