// gc5016-config: the configurator's windowed program.
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "gui/app_windows.h"
#include "gui/gc_application.h"
#include "gui/register_windows.h"
#include "gui/tgform.h"
#include "session/open_option.h"

namespace {

// Every window that --open can name.
std::vector<std::string_view> OpenableWindows() { return gc::RegisterWindows::WindowNames(); }

// The register editors and the synchronisation dialog named by --open.
void OpenRegisterWindows(gc::AppWindows& windows, const gc::Session& session, const std::vector<std::string>& names) {
    const std::vector<std::string> closed = windows.registerWindows()->OpenNamed(names, session.ExpertMode);
    if (closed.empty()) return;
    std::cerr << "gc5016-config: not in expert mode, left closed:";
    for (const std::string& name : closed) std::cerr << ' ' << name;
    std::cerr << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    gc::GcApplication app(argc, argv);  // takes the toolkit's own options out of the arguments
    std::vector<std::string> args;
    for (int k = 1; k < app.arguments().size(); ++k) args.push_back(app.arguments()[k].toStdString());
    const auto open = gc::ParseOpenOption(args, OpenableWindows());
    if (const auto* error = std::get_if<std::string>(&open)) {
        std::cerr << "gc5016-config: " << *error << "\nusage: gc5016-config [--open NAME[,NAME...]]\n";
        return 1;
    }

    // The configurator works in the folder it is started in.
    const gc::Workspace workspace{std::filesystem::current_path()};
    auto session = std::make_unique<gc::Session>();
    std::unique_ptr<gc::AppWindows> windows;
    try {
        windows = std::make_unique<gc::AppWindows>(*session, workspace);
    } catch (const std::exception& e) {
        // A window that cannot be created leaves nothing to work with.
        gc::ShowErrorBox(nullptr, QString::fromUtf8(e.what()));
        return 1;
    }
    windows->gform()->show();  // runs the start-up: lab file, expert mode, register image
    OpenRegisterWindows(*windows, *session, std::get<std::vector<std::string>>(open));
    return app.exec();
}
