#include <ostream>
#include <system_error>

#include "batch/batch.h"

namespace gc::batch {

int InputRefused(Context& ctx, const std::string& message) {
    ctx.err << "gc5016-batch: " << message << "\n";
    return kExitInputRefused;
}

bool IsReadableInput(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

}  // namespace gc::batch
