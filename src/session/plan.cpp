#include "session/plan.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace gc {

std::vector<SplitRow> RankedSplitRows(const DdcChannel& ch, const SplitRequest& r, unsigned threads) {
    const std::vector<DecimationSplit> splits = ListDecimationSplits(ch);
    std::vector<SplitRow> rows(splits.size());
    // Each row designs a filter of its own: rows are independent and long, so
    // a shared counter hands them out to the workers.
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < splits.size(); i = next++) rows[i] = EvaluateSplit(ch, splits[i], r);
    };
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    const size_t workers = std::min<size_t>(threads, splits.size());
    std::vector<std::jthread> pool;
    for (size_t t = 1; t < workers; ++t) pool.emplace_back(work);
    work();
    pool.clear();  // joins
    RankSplitRows(rows);
    return rows;
}

PlanApplyResult ApplyPlanRow(Session& m, const Workspace& ws, const SplitRow& row, const ChainRequest& request,
                             const std::filesystem::path& chosen) {
    PlanApplyResult r;
    r.save = SaveDesignedTaps(ws, chosen, row.taps);
    if (!r.save.done()) return r;
    edit::DecimationSplit e;
    e.cicDec = row.split.cicDec;
    e.firDec = row.split.firDec;
    e.file = r.save.path;
    e.request = request;
    r.effects = ApplyEdit(m, e, EditContext{&ws, nullptr});
    return r;
}

}  // namespace gc
