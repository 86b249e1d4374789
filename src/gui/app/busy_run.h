// Running a blocking job, such as the chip tool, off the user-interface thread
// while the windows stay drawn and can be closed.
#pragma once

#include <QString>
#include <atomic>
#include <functional>

class QWidget;

namespace gc {

class BusyRun {
public:
    using Work = std::function<void(const std::atomic<bool>& cancel)>;

    // Runs work(cancel) on a worker thread and returns once it has returned.
    // Meanwhile every top-level window is disabled (no clicks, keys, menus or
    // shortcuts, so nothing edits what the work reads), yet they repaint,
    // their timers run and they can be asked to close. A panel over parent's
    // window shows text and "Прервать", which sets cancel; the work is to look
    // at it and return soon after. An exception of the work is rethrown here.
    // false, and work is not run, while another run is going.
    [[nodiscard]] static bool Run(QWidget* parent, const QString& text, const Work& work);

    static bool Active();
    // Asks the running work to stop, as "Прервать" does. false when none runs.
    static bool Cancel();
    // For a window's closeEvent: during a run, asks the work to stop and posts
    // window's close for when Run has returned, and is true: the event is then
    // to be ignored. false when no run is going: close as usual.
    static bool CloseWhenDone(QWidget* window);
};

}  // namespace gc
