// How the coefficient-file reader reports a file it could not use. The GUI
// shows its error dialog; the batch tool prints one line per file.
#pragma once

#include <array>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <utility>

namespace gc {

class CoefFileErrorSink {
public:
    virtual ~CoefFileErrorSink() = default;
    // missing: the file could not be opened; otherwise it held no usable line.
    virtual void ReportCoefFileError(const std::string& path, bool missing) = 0;
};

// The three lines of the report.
std::array<std::string, 3> CoefFileErrorLines(const std::string& path, bool missing);

// One English line per file, for scripts: "<prefix>coefficient file F is missing".
// Paths reported below root are looked at there to tell why one could not be read.
class StreamCoefFileErrors : public CoefFileErrorSink {
public:
    StreamCoefFileErrors(std::ostream& os, std::string prefix, std::filesystem::path root = {})
        : os_(os), prefix_(std::move(prefix)), root_(std::move(root)) {}
    void ReportCoefFileError(const std::string& path, bool missing) override;

private:
    std::ostream& os_;
    std::string prefix_;
    std::filesystem::path root_;
};

}  // namespace gc
