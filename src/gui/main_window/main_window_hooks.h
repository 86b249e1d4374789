// What the owner of the main window hands it: the message windows, the
// questions (tests answer them themselves), the file chooser, the chip tool's
// place and time limit, and the other windows that follow its refreshes.
#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <filesystem>
#include <functional>
#include <vector>

#include "chip/chip_tool.h"

namespace gc {

class CoefFileErrorSink;
class FileChooser;

// The message windows the main window shows; owned by the program's window set.
struct MainDialogs {
    std::function<void(const QString& totals)> showDecimMismatch;
    std::function<void(const QString& modeLine)> showMinDecim;
    std::function<void()> showInfo;
    std::function<void()> showPfirDesign;
    // A save passed the decimation checks: a notice still open is out of date.
    std::function<void()> closeDecimNotices;
};

struct MainWindowHooks {
    MainDialogs dialogs;
    // Where the coefficient-file reader reports an unusable file.
    CoefFileErrorSink* coefErrors = nullptr;
    // Whether to replace an existing file; a question box when empty.
    std::function<bool(const QString& question)> askReplace;
    // One of several choices (its index; the last one when dismissed); a message box when empty.
    std::function<int(const QString& text, const QStringList& choices)> askChoice;
    // The file dialogs when null.
    FileChooser* chooser = nullptr;
    // Where the chip tool is looked for first (then PATH); the program's own folder when empty.
    std::filesystem::path chipToolDir;
    // How long the chip tool may run; the menu changes it and tells the owner,
    // who keeps it in the user's settings.
    std::chrono::milliseconds toolTimeout = kDefaultChipToolTimeout;
    std::function<void(std::chrono::milliseconds)> toolTimeoutChanged;
    // "Файл → Рабочая папка…": the owner asks and starts the program anew in the chosen folder.
    std::function<void()> changeWorkFolder;
    // Windows that follow every refresh (register editors, the synchronisation
    // dialog, the plots), in the order they are refreshed; each checks its own
    // open flag. The response windows follow when their axes or data moved.
    std::vector<std::function<void()>> refresh;
    std::vector<std::function<void()>> responseWindows;
};

}  // namespace gc
