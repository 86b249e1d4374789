// Small helpers shared by the core tests.
#pragma once

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "session/session.h"

#include <sys/wait.h>
#include <unistd.h>

namespace gc::test {

// Switches LC_NUMERIC to an installed locale whose decimal point is ',' (as a
// desktop session may have it) and back to "C" at the end of the scope.
class CommaLocale {
public:
    CommaLocale() {
        for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
            if ((found_ = std::setlocale(LC_NUMERIC, name) != nullptr)) break;
    }
    ~CommaLocale() { std::setlocale(LC_NUMERIC, "C"); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;
    bool found() const { return found_; }

private:
    bool found_ = false;
};

inline std::string ReadFileText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteFileText(const std::filesystem::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary);
    out << text;
}

// A fresh empty folder under the system's temp folder, removed at scope end.
class TempDir {
public:
    TempDir() {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("gc5016-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Runs the current directory change for one scope.
class ScopedCwd {
public:
    explicit ScopedCwd(const std::filesystem::path& dir) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~ScopedCwd() {
        std::error_code ec;
        std::filesystem::current_path(old_, ec);
    }

private:
    std::filesystem::path old_;
};

// A copy of the example working folder in a temp folder. Its lab file is the
// one the golden files were made on: every channel on the 63-tap cdma.taps,
// which the fit cuts to 31 taps (the shipped example uses a 31-tap set).
inline void CopyExampleWorkspace(const std::filesystem::path& to) {
    std::filesystem::copy(std::filesystem::path(GC5016_EXAMPLES) / "workspace", to,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(std::filesystem::path(GC5016_TEST_DATA) / "example_63taps.lab",
                               to / "CONFIGS" / "std.lab", std::filesystem::copy_options::overwrite_existing);
}

// What a run of the batch tool returned and printed.
struct BatchRun {
    int status;
    std::string out;
    std::string err;
};

// Runs gc5016-batch -C ws ARGS; its output streams go to a folder of their own
// so that the workspace holds only what the tool wrote.
inline BatchRun RunBatchTool(const std::filesystem::path& ws, const std::string& args) {
    TempDir io;
    const std::string cmd = std::string("'") + GC5016_BIN_DIR + "/gc5016-batch' -C '" + ws.string() + "' " + args +
                            " > '" + (io / "out").string() + "' 2> '" + (io / "err").string() + "'";
    const int rc = std::system(cmd.c_str());
    return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, ReadFileText(io / "out"), ReadFileText(io / "err")};
}

// Runs a copy of gc5016-batch -C ws ARGS that finds beside it a chip tool of
// the test's own: a shell script with the body given (no tool when empty).
// Nothing else is on the PATH, so the script sets its own.
inline BatchRun RunBatchBesideTool(const std::filesystem::path& ws, const std::string& toolBody,
                                   const std::string& args) {
    TempDir bin, io;
    std::filesystem::copy_file(std::filesystem::path(GC5016_BIN_DIR) / "gc5016-batch", bin / "gc5016-batch");
    if (!toolBody.empty()) {
        WriteFileText(bin / "cmd5016", "#!/bin/sh\nPATH=/usr/bin:/bin\n" + toolBody);
        std::filesystem::permissions(bin / "cmd5016", std::filesystem::perms(0755));
    }
    const std::string cmd = "PATH=/nonexistent '" + (bin / "gc5016-batch").string() + "' -C '" + ws.string() + "' " +
                            args + " > '" + (io / "out").string() + "' 2> '" + (io / "err").string() + "'";
    const int rc = std::system(cmd.c_str());
    return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, ReadFileText(io / "out"), ReadFileText(io / "err")};
}

}  // namespace gc::test
