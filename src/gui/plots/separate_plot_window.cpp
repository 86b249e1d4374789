#include "gui/plots/separate_plot_window.h"

#include <QCloseEvent>
#include <QLabel>

#include "gui/widgets/labels.h"

namespace gc {

SeparatePlotWindow::SeparatePlotWindow(const QString& title, QWidget* parent) : QWidget(parent) {
    setWindowTitle(title);
    setWindowFlag(Qt::Window);
    // The caption is the same for all four channels.
    channelLabel_ = BoldLabel(this, ChannelText(0), QStringLiteral("channelLabel"));
}

void SeparatePlotWindow::Open() {
    open_ = true;
    Opened();
    show();
    raise();
    activateWindow();
}

void SeparatePlotWindow::RefreshIfOpen() {
    if (open_) Refresh();
}

void SeparatePlotWindow::SetChannelShown(int channel) { channelLabel_->setText(ChannelText(channel)); }

QPushButton* SeparatePlotWindow::MakeExportButton() {
    return export_.MakeButton(
        this, [this] { return ExportSource(); }, [this](const QString& text) { emit statusMessage(text); });
}

void SeparatePlotWindow::FillExportCaption(PlotExportSource& s) {
    s.title = windowTitle();
    export_.FillSource(s);
}

void SeparatePlotWindow::closeEvent(QCloseEvent* event) {
    open_ = false;
    Closed();
    event->accept();
}

}  // namespace gc
