// Any argument vector for gc5016-batch (the input split at NUL bytes): the
// tool must neither crash nor read out of bounds, and must end with one of its
// exit codes. It runs in a working folder of its own; arguments that could
// reach outside it (absolute paths, "..", -C) or start the chip tool are left out.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "batch/batch.h"
#include "core/lab_file.h"
#include "core/text_io.h"

namespace {

namespace fs = std::filesystem;

// The working folder: on a memory file system where there is one, since the
// writers sync every file they write.
struct Workspace {
    fs::path root;
    std::set<fs::path> base;
    Workspace() {
        std::error_code ec;
        const fs::path shm = "/dev/shm";
        const fs::path parent = fs::is_directory(shm, ec) ? shm : fs::temp_directory_path();
        root = parent / ("gc5016-fuzz-batch-" + std::to_string(::getpid()));
        fs::remove_all(root, ec);
        for (const char* sub : {"CONFIGS", "FILTERS", "Appl"}) fs::create_directories(root / sub);
        gc::Settings s;
        s.NameOfPFIR = {"set.taps", "set.taps", "missing.taps", "set.taps"};
        s.FullDebug = 629;
        gc::WriteLab(s, root / "CONFIGS" / "std.lab");
        std::string taps;
        for (int k = 0; k < 31; ++k) taps += gc::StrPrintf(" %d\n", k < 16 ? 900 * (k + 1) : 900 * (31 - k));
        gc::WriteFileAtomic(root / "FILTERS" / "set.taps", taps);
        gc::WriteFileAtomic(root / "Appl" / "in.gc101", "write 0002 0010\nwrite 0000 00ff\n");
        gc::WriteFileAtomic(root / "Appl" / "in.flt", "filter\n3\n100\n-200\n300\n");
        for (const auto& e : fs::recursive_directory_iterator(root)) base.insert(e.path());
        fs::current_path(root);
    }
    ~Workspace() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    // Removes what a run added, so that the folder stays small.
    void Sweep() const {
        std::error_code ec;
        std::vector<fs::path> extra;
        for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec))
            if (!base.count(it->path())) extra.push_back(it->path());
        for (const fs::path& p : extra) fs::remove_all(p, ec);
        fs::current_path(root, ec);
    }
};

bool Allowed(const std::string& arg) {
    return !arg.empty() ? arg[0] != '/' && arg.find("..") == std::string::npos && arg != "-C" && arg != "--tool" : true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Workspace workspace;
    if (size > 4096) return 0;
    std::vector<std::string> args;
    std::string arg;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(arg);
            arg.clear();
        } else {
            arg += static_cast<char>(data[i]);
        }
    }
    if (!arg.empty()) args.push_back(arg);
    for (const std::string& a : args)
        if (!Allowed(a)) return 0;
    std::ostringstream out, err;
    const int rc = gc::batch::RunBatch(args, out, err);
    if (rc < gc::batch::kExitOk || rc > 4) __builtin_trap();
    workspace.Sweep();
    return 0;
}
