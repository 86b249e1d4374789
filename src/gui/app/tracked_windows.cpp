#include "gui/app/tracked_windows.h"

#include <QString>
#include <string>
#include <string_view>

#include "gui/app/app_windows.h"
#include "gui/app/window_state.h"
#include "gui/dialogs/register_editor_dialog.h"
#include "gui/dialogs/register_windows.h"
#include "gui/dialogs/sync_dialog.h"
#include "gui/plots/cic_response_window.h"
#include "gui/plots/pfir_response_window.h"

namespace gc {

namespace {

QString Key(std::string_view name) { return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())); }

}  // namespace

void TrackSecondaryWindows(WindowStateStore& store, AppWindows& windows, const Session& session) {
    store.TrackSecondary(windows.cicForm(), QStringLiteral("cic"), [&windows] { windows.cicForm()->Open(); });
    store.TrackSecondary(windows.pfirForm(), QStringLiteral("pfir"), [&windows] { windows.pfirForm()->Open(); });

    RegisterWindows* registers = windows.registerWindows();
    // The same rule as --open: outside expert mode they stay closed.
    auto reopen = [registers, &session](std::string_view name) {
        return [registers, &session, name] { registers->OpenNamed({std::string(name)}, session.ExpertMode); };
    };
    store.TrackSecondary(registers->syncro(), QStringLiteral("sync"), reopen("sync"));
    for (int k = 0; k < kRegisterDialogCount; ++k) {
        const auto id = static_cast<RegisterDialogId>(k);
        const std::string_view name = RegisterDialog(id).openName;
        store.TrackSecondary(registers->dialog(id), Key(name), reopen(name));
    }
}

}  // namespace gc
