// gc5016-config: the configurator's windowed program.
#include <exception>
#include <filesystem>
#include <memory>

#include "gui/app_windows.h"
#include "gui/gc_application.h"
#include "gui/tgform.h"

int main(int argc, char** argv) {
    gc::GcApplication app(argc, argv);
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
    windows->gform()->show();
    return app.exec();
}
