#include "gui/plot_window.h"

#include <QCloseEvent>
#include <QDate>
#include <QLabel>

#include "gui/labels.h"

namespace gc {

PlotWindow::PlotWindow(const Session& m, const QString& title, QWidget* parent) : QWidget(parent), m_(m) {
    setWindowTitle(title);
    setWindowFlag(Qt::Window);
    // The caption is the same for all four channels.
    channelLabel_ = BoldLabel(this, ChannelText(m_.CurrentChannel), QStringLiteral("channelLabel"));
}

void PlotWindow::Open() {
    open_ = true;
    Opened();
    show();
    raise();
    activateWindow();
}

void PlotWindow::RefreshIfOpen() {
    if (open_) Refresh();
}

QPushButton* PlotWindow::MakeExportButton() {
    return export_.MakeButton(
        this, [this] { return ExportSource(); }, [this](const QString& text) { emit statusMessage(text); });
}

void PlotWindow::FillExportCaption(PlotExportSource& s) {
    s.title = windowTitle();
    s.folder = export_.Folder();
    s.caption = [this] { return PlotCaptionText(m_.currentLabName, m_.CurrentChannel, QDate::currentDate()); };
}

void PlotWindow::ShowChannel() { channelLabel_->setText(ChannelText(m_.CurrentChannel)); }

void PlotWindow::closeEvent(QCloseEvent* event) {
    open_ = false;
    Closed();
    event->accept();
}

}  // namespace gc
