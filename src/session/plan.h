// From a channel's request to its chain: every split of the total decimation
// designed and judged at the request, the best one taken, its taps written
// and the channel set to it in one step to undo. The batch tool's `plan` and
// the designer's "Подобрать" share it.
#pragma once

#include <filesystem>
#include <vector>

#include "core/workspace.h"
#include "filters/decimation_splits.h"
#include "session/commands.h"
#include "session/edit.h"
#include "session/session.h"

namespace gc {

// Every split the chip runs, each designed and folded at the request, ranked
// best first (RankSplitRows). The rows are worked out on up to `threads`
// threads at once (0: as many as the machine has).
std::vector<SplitRow> RankedSplitRows(const DdcChannel& ch, const SplitRequest& r, unsigned threads = 0);

struct PlanApplyResult {
    DesignSaveResult save;  // the taps file, named as the designer's "Сохранить" names it
    Effects effects;        // of the edit; unset when the file was not written
};

// Writes the row's taps to `chosen` (by the designer's naming rule), then sets
// the shown channel's decimations, that file and `request` (edges as stored:
// 0 follows the output rate) as one edit. Nothing is set when the file could
// not be written.
PlanApplyResult ApplyPlanRow(Session& m, const Workspace& ws, const SplitRow& row, const ChainRequest& request,
                             const std::filesystem::path& chosen);

}  // namespace gc
