// Undo and redo of the settings, and whether they differ from the last lab
// file read or written. Two settings count as equal when they make the same
// lab file: that is what a user keeps, and it ignores nothing a file holds.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/model.h"

namespace gc {

class SettingsHistory {
public:
    // Snapshots kept before the oldest is dropped.
    static constexpr size_t kDepth = 100;

    // Starts afresh from these settings: nothing to undo or redo, and they are
    // the saved state. labName is the configuration's name shown with them.
    void Reset(const Settings& s, const std::string& labName = {});

    // Records the settings after a committed edit. Settings and name equal to
    // the current snapshot record nothing (returns false); otherwise whatever
    // could be redone is dropped.
    bool Commit(const Settings& s, const std::string& labName = {});

    bool CanUndo() const { return pos_ > 0; }
    bool CanRedo() const { return pos_ + 1 < states_.size(); }
    // The settings to restore, or nullopt when there is nothing to go back or
    // forward to.
    std::optional<Settings> Undo();
    std::optional<Settings> Redo();
    // The settings of the current snapshot.
    const Settings& Current() const;
    // The configuration's name recorded with the current snapshot, so that
    // undoing "Считать" also gives back the name of what was shown before.
    const std::string& LabName() const;
    // The settings shown were saved under labName: the current snapshot takes
    // the name, and saving leaves no step to undo.
    void NameCurrent(const std::string& labName);

    // The settings were read from or written to a lab file.
    void MarkSaved(const Settings& s);
    // Whether s differs from what the last lab file read or written holds.
    bool Modified(const Settings& s) const;

private:
    struct Snapshot {
        Settings settings;
        std::string text;  // the lab file they make
        std::string labName;
    };
    std::vector<Snapshot> states_;
    size_t pos_ = 0;
    std::string saved_;
};

}  // namespace gc

namespace gc {

// What changed from before to after, setting by setting in the lab file's
// order, each with its channel and both values ("CIC A 16 → 8"); the first
// few and how many more. "" when nothing did.
std::string DescribeSettingsChange(const Settings& before, const Settings& after);

struct Session;
struct Workspace;
class CoefFileErrorSink;

// Puts snapshot settings back: the CIC bounds of their input mode, the shown
// channel where the mode pairs the channels, the four coefficient files
// reloaded and fitted and sck_div copied; the one derivation follows in
// ApplyEdit. FullDebug stays as the running session has it.
void PutSettingsBack(Session& m, const Settings& s, const Workspace& workspace, CoefFileErrorSink* errors);

}  // namespace gc
