// Filling a CommandResult: shared by the session's command files.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/safe_write.h"
#include "core/workspace.h"
#include "session/commands.h"

namespace gc::command_result {

template <typename R>
R& Failed(R& r, const WriteOutcome& o, const Workspace& ws, const std::filesystem::path& target) {
    r.status = CommandStatus::WriteFailed;
    r.failure = o;
    r.reason = WriteFailureText(o, ws, target);
    return r;
}

template <typename R>
R& Refused(R& r, std::string reason) {
    r.status = CommandStatus::InputRefused;
    r.reason = std::move(reason);
    return r;
}

// Writes one file and records it in the result; false when it failed.
template <typename R>
bool WriteInto(R& r, const Workspace& ws, const std::filesystem::path& path, std::string_view text,
               WritePolicy policy = {}) {
    const WriteOutcome o = WriteFileSafely(path, text, policy);
    if (!o.ok()) {
        Failed(r, o, ws, path);
        return false;
    }
    r.written.push_back(path);
    return true;
}

}  // namespace gc::command_result
