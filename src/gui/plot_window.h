// What every plot window shares (the CIC and PFIR windows, "Анализ тракта"):
// the open flag the main window tests before it asks for a refresh, the
// channel it shows named inside it, and "Экспорт…" with its chooser, folder
// and caption line.
#pragma once

#include <QWidget>

#include "gui/plot_export.h"
#include "session/session.h"

class QLabel;
class QPushButton;

namespace gc {

class PlotWindow : public QWidget {
    Q_OBJECT

public:
    // The main window's button: set the open flag, Opened(), show the window in front.
    void Open();
    // Whether the main window refreshes this window (set by Open, cleared on close).
    bool IsOpen() const { return open_; }
    // The main window's refresh after an edit: Refresh() only while open.
    void RefreshIfOpen();
    // The model may have changed: compute and draw afresh.
    virtual void Refresh() = 0;

    // What "Экспорт…" writes now.
    virtual PlotExportSource ExportSource() = 0;
    // The export asks for its file here (the dialogs by default), starting in folder.
    void SetFileChooser(FileChooser* chooser) { export_.SetFileChooser(chooser); }
    void SetExportFolder(const QString& folder) { export_.SetFolder(folder); }

signals:
    // A line for the status bar: what the export wrote, or why it did not.
    void statusMessage(const QString& text);

protected:
    PlotWindow(const Session& m, const QString& title, QWidget* parent);

    // Before the window shows on Open, and after it closed.
    virtual void Opened() {}
    virtual void Closed() {}

    // "Экспорт…" of this window.
    QPushButton* MakeExportButton();
    // The title, folder and caption line (configuration, channel, date) of an export.
    void FillExportCaption(PlotExportSource& s);
    // "Канал A": which channel the window shows; ShowChannel() brings it up to date.
    QLabel* ChannelLabel() const { return channelLabel_; }
    void ShowChannel();

    void closeEvent(QCloseEvent* event) override;

    const Session& m_;  // read at every refresh; the windows change nothing in it

private:
    bool open_ = false;
    PlotExportTarget export_;
    QLabel* channelLabel_ = nullptr;
};

}  // namespace gc
