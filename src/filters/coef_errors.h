// How the coefficient-file reader reports a file it could not use. The GUI
// shows its error dialog; the batch tool prints the same three lines.
#pragma once

#include <array>
#include <iosfwd>
#include <string>

namespace gc {

class CoefFileErrorSink {
public:
    virtual ~CoefFileErrorSink() = default;
    // missing: the file could not be opened; otherwise it held no usable line.
    virtual void ReportCoefFileError(const std::string& path, bool missing) = 0;
};

// The three lines of the report.
std::array<std::string, 3> CoefFileErrorLines(const std::string& path, bool missing);

// Prints the three lines, one per line.
class StreamCoefFileErrors : public CoefFileErrorSink {
public:
    explicit StreamCoefFileErrors(std::ostream& os) : os_(os) {}
    void ReportCoefFileError(const std::string& path, bool missing) override;

private:
    std::ostream& os_;
};

}  // namespace gc
