// The options that state a channel's request (--pass, --stop, --ripple,
// --atten), each over the channel's stored request when not given.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "batch/batch.h"
#include "filters/chain_analysis.h"
#include "filters/decimation_splits.h"

namespace gc::batch {

// Takes each option named (a number above 0) into r; kExitOk, or the usage
// status after the message.
int TakeRequestOptions(Context& ctx, ChainRequest& r, std::initializer_list<const char*> names);

// Selects the channel and ranks its splits at the request, as `splits` and
// `plan` both do; kExitOk, or the refusal's status after the message.
int RankChannelSplits(Context& ctx, int channel, const ChainRequest& r, std::vector<SplitRow>& rows);

}  // namespace gc::batch
