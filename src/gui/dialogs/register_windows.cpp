#include "gui/dialogs/register_windows.h"

#include <QPushButton>
#include <algorithm>

#include "gui/app/guide.h"
#include "gui/dialogs/register_editor_dialog.h"
#include "gui/dialogs/sync_dialog.h"
#include "gui/main_window/main_window.h"

namespace gc {

namespace {

// The buttons, and the refresh, in the main window's order; -1 is the
// synchronisation dialog.
constexpr int kSyncSlot = -1;
constexpr std::array<int, kRegisterDialogCount + 1> kWindowOrder = {static_cast<int>(RegisterDialogId::Global),
                                                                    static_cast<int>(RegisterDialogId::AddrGen),
                                                                    static_cast<int>(RegisterDialogId::Agc),
                                                                    static_cast<int>(RegisterDialogId::FirCont),
                                                                    static_cast<int>(RegisterDialogId::CicMix),
                                                                    static_cast<int>(RegisterDialogId::Output),
                                                                    kSyncSlot,
                                                                    static_cast<int>(RegisterDialogId::Transmit),
                                                                    static_cast<int>(RegisterDialogId::Timer),
                                                                    static_cast<int>(RegisterDialogId::Pseudo)};

}  // namespace

RegisterWindows::RegisterWindows(Settings& settings, RegisterImage& workImage)
    : syncro_(std::make_unique<SyncDialog>(settings, workImage)) {
    InstallGuideKey(syncro_.get(), GuideSection::Sync);
    for (size_t k = 0; k < dialogs_.size(); ++k)
        dialogs_[k] = std::make_unique<RegisterEditorDialog>(workImage, RegisterDialogDefs()[k]);
}

RegisterWindows::~RegisterWindows() = default;

void RegisterWindows::Attach(MainWindow& form) {
    for (int slot : kWindowOrder) {
        if (slot == kSyncSlot) {
            QPushButton* b = form.AddExpertButton(QStringLiteral("Syncro"), QStringLiteral("syncroButton"));
            QObject::connect(b, &QPushButton::clicked, syncro_.get(), &SyncDialog::Open);
            continue;
        }
        RegisterEditorDialog* d = dialogs_[static_cast<size_t>(slot)].get();
        const std::string_view text = d->def().button;
        QPushButton* b = form.AddExpertButton(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                                              d->objectName() + QStringLiteral("Button"));
        QObject::connect(b, &QPushButton::clicked, d, &RegisterEditorDialog::Open);
    }
    // Their stores are edits of the main window's session.
    auto sink = [&form](const Edit& e) { return form.ApplyOtherWindowEdit(e); };
    syncro_->SetEditSink(sink);
    for (auto& d : dialogs_) d->SetEditSink(sink);
    form.hooks().refresh.push_back([this, &form] {
        SetWriteEnable(form.writeEnabled());
        RefreshOpen();
    });
}

void RegisterWindows::RefreshOpen() {
    for (int slot : kWindowOrder) {
        if (slot == kSyncSlot) {
            if (syncro_->flags().open) syncro_->RefreshSync();
        } else if (RegisterEditorDialog* d = dialogs_[static_cast<size_t>(slot)].get(); d->flags().open) {
            d->ShowValues();
        }
    }
}

void RegisterWindows::SetWriteEnable(bool on) {
    syncro_->SetWriteEnable(on);
    for (auto& d : dialogs_) d->SetWriteEnable(on);
}

bool RegisterWindows::OpenByName(std::string_view name) {
    if (name == "sync") {
        syncro_->Open();
        return true;
    }
    for (auto& d : dialogs_)
        if (d->def().openName == name) {
            d->Open();
            return true;
        }
    return false;
}

std::vector<std::string_view> RegisterWindows::WindowNames() {
    std::vector<std::string_view> names = {"sync"};
    for (int slot : kWindowOrder)
        if (slot != kSyncSlot) names.push_back(RegisterDialogDefs()[static_cast<size_t>(slot)].openName);
    return names;
}

std::vector<std::string> RegisterWindows::OpenNamed(const std::vector<std::string>& names, bool expertMode) {
    const std::vector<std::string_view> own = WindowNames();
    std::vector<std::string> closed;
    for (const std::string& name : names) {
        if (std::find(own.begin(), own.end(), name) == own.end()) continue;
        if (expertMode)
            OpenByName(name);
        else
            closed.push_back(name);
    }
    return closed;
}

}  // namespace gc
