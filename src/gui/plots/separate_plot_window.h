// What every plot window apart from the main window shares (the CIC and PFIR
// windows, "Анализ тракта"): the open flag the main window tests before it
// asks for a refresh, the channel it shows named inside it, and "Экспорт…"
// with its chooser, folder and caption line. The windows are fed: their
// owner hands them the channel's values; they read no model of their own.
#pragma once

#include <QWidget>
#include <functional>

#include "gui/plots/plot_export.h"

class QLabel;
class QPushButton;

namespace gc {

class SeparatePlotWindow : public QWidget {
    Q_OBJECT

public:
    // The main window's button: set the open flag, Opened(), show the window in front.
    void Open();
    // Whether the main window refreshes this window (set by Open, cleared on close).
    bool IsOpen() const { return open_; }
    // The main window's refresh after an edit: Refresh() only while open.
    void RefreshIfOpen();
    // The values fed may have changed in ways the setters cannot see (taps
    // changed in place): compute and draw afresh.
    virtual void Refresh() = 0;

    // The channel shown, named in "Канал A".
    void SetChannelShown(int channel);
    // The caption line of an export, asked for when it is written.
    void SetCaptionSource(std::function<QString()> caption) { export_.SetCaptionSource(std::move(caption)); }

    // What "Экспорт…" writes now.
    virtual PlotExportSource ExportSource() = 0;
    // The export asks for its file here (the dialogs by default), starting in folder.
    void SetFileChooser(FileChooser* chooser) { export_.SetFileChooser(chooser); }
    void SetExportFolder(const QString& folder) { export_.SetFolder(folder); }

signals:
    // A line for the status bar: what the export wrote, or why it did not.
    void statusMessage(const QString& text);

protected:
    SeparatePlotWindow(const QString& title, QWidget* parent);

    // Before the window shows on Open, and after it closed.
    virtual void Opened() {}
    virtual void Closed() {}

    // "Экспорт…" of this window.
    QPushButton* MakeExportButton();
    // The title, folder and caption line of an export.
    void FillExportCaption(PlotExportSource& s);
    QLabel* ChannelLabel() const { return channelLabel_; }

    void closeEvent(QCloseEvent* event) override;

private:
    bool open_ = false;
    PlotExportTarget export_;
    QLabel* channelLabel_ = nullptr;
};

}  // namespace gc
