// The fuzz input as a file on disk, since the readers take paths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

namespace gc::fuzz {

// A name in the temp folder that no other fuzzing process uses.
inline std::filesystem::path TempPath(const std::string& name) {
    return std::filesystem::temp_directory_path() / ("gc5016-fuzz-" + std::to_string(::getpid()) + "-" + name);
}

// One input file, rewritten for every run and removed when the process ends.
class InputFile {
public:
    explicit InputFile(std::filesystem::path path) : path_(std::move(path)) {}
    ~InputFile() {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // False when the file cannot be written (the run then tests nothing).
    bool Write(const uint8_t* data, size_t size) const {
        FILE* f = std::fopen(path_.c_str(), "wb");
        if (!f) return false;
        bool ok = std::fwrite(data, 1, size, f) == size;
        return std::fclose(f) == 0 && ok;
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace gc::fuzz
