// The main window: one channel at a time, every edit runs one of a few fixed
// pipelines that keep the register image and the response current.
#pragma once

#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <memory>

#include "app/model.h"
#include "app/ui/file_chooser.h"

namespace gc {

class CoefFileErrorSink;

class TGForm : public QWidget {
    Q_OBJECT

public:
    explicit TGForm(Model& m, QWidget* parent = nullptr);
    ~TGForm() override;

    Model& model() { return m_; }

    // Where the coefficient-file reader reports an unusable file.
    void SetCoefErrorSink(CoefFileErrorSink* sink) { coefErrors_ = sink; }
    // Tests answer the file dialogs through their own chooser.
    void SetFileChooser(FileChooser* chooser) { chooser_ = chooser ? chooser : &dialogChooser_; }

    // The lab file read at start and written at close, relative to the working folder.
    static std::filesystem::path StartupLabPath() { return std::filesystem::path("CONFIGS") / "std.lab"; }

    bool started() const { return started_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void RunStartup();

    Model& m_;
    CoefFileErrorSink* coefErrors_ = nullptr;
    DialogFileChooser dialogChooser_;
    FileChooser* chooser_ = &dialogChooser_;
    QTimer plotTimer_;
    bool started_ = false;
};

}  // namespace gc
