// One register editor window: a grid of edit boxes, one per field word of
// the work register image, made from a dialog's row table. Enter or leaving
// a box stores the whole grid and shows the image again, also after a refused text.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "gui/app/window_flags.h"
#include "session/edit.h"
#include "session/register_editor.h"

class QLineEdit;

namespace gc {

class RegisterEditorDialog : public QWidget {
    Q_OBJECT

public:
    RegisterEditorDialog(RegisterImage& image, const RegisterDialogDef& def, QWidget* parent = nullptr);
    ~RegisterEditorDialog() override;

    const RegisterDialogDef& def() const { return def_; }
    const WindowFlags& flags() const { return flags_; }
    // The main window's button: sets the open flag and shows the window.
    void Open();
    void SetWriteEnable(bool on) { flags_.writeEnable = on; }

    // Image -> boxes, then every box enabled by the write-enable flag.
    void ShowValues();
    // Boxes -> image through the main window's edits; false (after the error
    // box) at a box that holds no integer.
    bool StoreValues();
    void SetEditSink(std::function<Effects(const Edit&)> sink) { applyEdit_ = std::move(sink); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void OnBoxFinished();

    std::function<Effects(const Edit&)> applyEdit_;
    RegisterImage& image_;
    const RegisterDialogDef& def_;
    RegisterDialogId id_;
    WindowFlags flags_;
    std::vector<RegisterBox> boxes_;
    std::vector<QLineEdit*> edits_;  // in the order of boxes_
    bool storing_ = false;
};

}  // namespace gc
