#include "filters/plot_model.h"

#include "filters/vector_state.h"

namespace gc {

bool PlotModel::Refresh(const std::function<void()>& calc, const std::function<void(bool)>& draw) {
    const bool recompute = need_ == PlotNeed::Calc;
    need_ = PlotNeed::None;
    if (recompute) {
        // Curves are computed right after the toolkit painted.
        ClearUpperVectorState();
        calc();
        ++calcs_;
    }
    draw(recompute);
    ++draws_;
    return recompute;
}

}  // namespace gc
