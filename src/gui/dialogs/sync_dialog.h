// The synchronisation dialog "Синхронизация": the soB_sync source and the
// eleven sync sources of each channel. Every change goes at once into the
// settings and into the sync fields of the work image.
#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "core/model.h"
#include "gui/app/window_flags.h"
#include "session/edit.h"
#include "session/sync_view.h"

class QComboBox;
class QPushButton;

namespace gc {

class SyncDialog : public QWidget {
    Q_OBJECT

public:
    SyncDialog(Settings& settings, RegisterImage& workImage, QWidget* parent = nullptr);

    const WindowFlags& flags() const { return flags_; }
    // The main window's "Syncro": sets the open flag and shows the window.
    void Open();
    void SetWriteEnable(bool on) { flags_.writeEnable = on; }

    // Settings -> combo boxes, then the sync fields of each channel from its
    // own settings, then every box enabled by the write-enable flag.
    void RefreshSync();
    // The user's changes are settings like any other: the main window
    // applies them, records them for undo and marks them unsaved.
    void SetEditSink(std::function<Effects(const Edit&)> sink) { applyEdit_ = std::move(sink); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void OnSelectionChanged();
    void OnPreset(int32_t code);

    void Apply(const Edit& e);

    std::function<Effects(const Edit&)> applyEdit_;
    Settings& settings_;
    RegisterImage& image_;
    WindowFlags flags_;
    QComboBox* soB_ = nullptr;
    std::array<std::array<QComboBox*, kChannels>, kSyncRows> grid_{};  // [row][channel]
    QPushButton* oneShotButton_ = nullptr;
    QPushButton* siaButton_ = nullptr;
};

}  // namespace gc
