// gc5016-config: the configurator's windowed program.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
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

#include "gui/app/app_windows.h"
#include "gui/app/command_line.h"
#include "gui/app/gc_application.h"
#include "gui/app/tracked_windows.h"
#include "gui/app/window_state.h"
#include "gui/app/work_folder_dialog.h"
#include "gui/dialogs/register_windows.h"
#include "gui/main_window/main_window.h"
#include "gui/plots/chain_window.h"
#include "gui/plots/cic_response_window.h"
#include "gui/plots/pfir_response_window.h"

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
    // -C must name a folder; without it the folder comes from the current
    // one, the user's last choice or the first-start question.
    if (!options->workDir.isEmpty() && !QFileInfo(options->workDir).isDir()) {
        std::fprintf(stderr, "gc5016-config: the working folder %s is not a folder\n",
                     qUtf8Printable(options->workDir));
        return 1;
    }
    // The places of the windows and the working folder are the user's, not the working folder's.
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("gc5016-config"),
                       QStringLiteral("gc5016-config"));
    gc::WorkFolderStart start;
    if (!options->workDir.isEmpty()) start.commandLine = gc::ToFsPath(QFileInfo(options->workDir).absoluteFilePath());
    start.current = gc::ToFsPath(QDir::currentPath());
    start.desktop = options->desktop;
    const std::filesystem::path example = gc::ExampleWorkFolder();
    const std::optional<std::filesystem::path> folder = gc::StartWorkFolder(start, settings, example);
    if (!folder) return 0;  // the user closed the question: nothing was touched
    const gc::Workspace workspace{*folder};
    auto session = std::make_unique<gc::Session>();
    std::unique_ptr<gc::AppWindows> windows;
    try {
        windows = std::make_unique<gc::AppWindows>(*session, workspace);
    } catch (const std::exception& e) {
        // A window that cannot be created leaves nothing to work with.
        gc::ShowErrorBox(nullptr, QString::fromUtf8(e.what()));
        return 1;
    }
    gc::WindowStateStore windowState(settings);
    // The chip tool's time limit is the user's choice too.
    const int toolSeconds = settings.value(QStringLiteral("chipTool/timeoutSeconds"), 60).toInt();
    windows->gform()->hooks().toolTimeout = std::chrono::seconds(std::clamp(toolSeconds, 0, 86400));
    windows->gform()->hooks().toolTimeoutChanged = [&settings](std::chrono::milliseconds t) {
        settings.setValue(QStringLiteral("chipTool/timeoutSeconds"), static_cast<int>(t.count() / 1000));
    };
    gc::MainWindow* gform = windows->gform();
    gform->hooks().changeWorkFolder = [&] {
        const std::optional<std::filesystem::path> chosen = gc::AskWorkFolder(
            gc::ProposedWorkFolder({}, gc::DocumentsFolder()), workspace.root, settings, example, gform);
        if (!chosen || *chosen == workspace.root) return;
        // The new folder gets a fresh start; this one's lab file is saved by the close as always.
        const QString shown = QDir::toNativeSeparators(gc::FromFsPath(*chosen));
        if (!gform->close()) {
            gform->ShowStatus("Рабочая папка " + shown.toStdString() + " будет открыта при следующем запуске");
            return;
        }
        if (!QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                     {QStringLiteral("-C"), gc::FromFsPath(*chosen)}))
            std::fprintf(stderr, "gc5016-config: could not start again in %s\n", qUtf8Printable(shown));
    };
    windowState.TrackMainWindow(windows->gform());
    gc::TrackSecondaryWindows(windowState, *windows, *session);
    windows->gform()->show();
    windowState.ReopenSecondaries();
    OpenNamedWindows(*windows, *session, options->openWindows);
    return app.exec();
}
