// gc5016-config: the configurator's windowed program.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "gui/app_windows.h"
#include "gui/chain_window.h"
#include "gui/cic_response_window.h"
#include "gui/command_line.h"
#include "gui/gc_application.h"
#include "gui/pfir_response_window.h"
#include "gui/register_windows.h"
#include "gui/tgform.h"
#include "gui/tracked_windows.h"
#include "gui/window_state.h"

namespace {

// The windows named by --open: the register editors and the synchronisation
// dialog only in expert mode, as their buttons; the response windows always.
void OpenNamedWindows(gc::AppWindows& windows, const gc::Session& session, const std::vector<std::string>& names) {
    const std::vector<std::string> closed = windows.registerWindows()->OpenNamed(names, session.ExpertMode);
    for (const std::string& name : names) {
        if (name == "cic") windows.cicForm()->Open();
        if (name == "pfir") windows.pfirForm()->Open();
        if (name == "chain") windows.chainWindow()->Open();
    }
    if (closed.empty()) return;
    std::cerr << "gc5016-config: not in expert mode, left closed:";
    for (const std::string& name : closed) std::cerr << ' ' << name;
    std::cerr << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    if (std::optional<int> status = gc::AnswerInfoRequest(argc, argv)) return *status;
    gc::GcApplication app(argc, argv);
    QString error;
    const std::optional<gc::ConfigCommandLine> options = gc::ReadConfigCommandLine(app.arguments(), error);
    if (!options) {
        std::fprintf(stderr, "gc5016-config: %s\nTry gc5016-config --help.\n", qUtf8Printable(error));
        return 1;
    }
    // The configurator works in the folder given with -C, or in the one it is started in.
    const QFileInfo folder(options->workDir.isEmpty() ? QDir::currentPath() : options->workDir);
    if (!folder.isDir()) {
        std::fprintf(stderr, "gc5016-config: the working folder %s is not a folder\n",
                     qUtf8Printable(options->workDir));
        return 1;
    }
    const gc::Workspace workspace{std::filesystem::path(QFile::encodeName(folder.absoluteFilePath()).toStdString())};
    auto session = std::make_unique<gc::Session>();
    std::unique_ptr<gc::AppWindows> windows;
    try {
        windows = std::make_unique<gc::AppWindows>(*session, workspace);
    } catch (const std::exception& e) {
        // A window that cannot be created leaves nothing to work with.
        gc::ShowErrorBox(nullptr, QString::fromUtf8(e.what()));
        return 1;
    }
    // The places of the windows are the user's, not the working folder's.
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("gc5016-config"),
                       QStringLiteral("gc5016-config"));
    gc::WindowStateStore windowState(settings);
    // The chip tool's time limit is the user's choice too.
    const int toolSeconds = settings.value(QStringLiteral("chipTool/timeoutSeconds"), 60).toInt();
    windows->gform()->SetToolTimeout(std::chrono::seconds(std::clamp(toolSeconds, 0, 86400)));
    windows->gform()->SetToolTimeoutChanged([&settings](std::chrono::milliseconds t) {
        settings.setValue(QStringLiteral("chipTool/timeoutSeconds"), static_cast<int>(t.count() / 1000));
    });
    windowState.TrackMainWindow(windows->gform());
    gc::TrackSecondaryWindows(windowState, *windows, *session);
    windows->gform()->show();
    windowState.ReopenSecondaries();
    OpenNamedWindows(*windows, *session, options->openWindows);
    return app.exec();
}
