// The options that state a channel's request (--pass, --stop, --ripple,
// --atten), each over the channel's stored request when not given.
#pragma once

#include <initializer_list>
#include <string>

#include "batch/batch.h"
#include "filters/chain_analysis.h"

namespace gc::batch {

// Takes each option named (a number above 0) into r; kExitOk, or the usage
// status after the message.
int TakeRequestOptions(Context& ctx, ChainRequest& r, std::initializer_list<const char*> names);

}  // namespace gc::batch
