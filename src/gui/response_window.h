// What the CIC and PFIR response windows share: the read-outs above the plot,
// the lowered plot panel with its axis labels, the cursor buttons, the zoom
// row, the one-shot first-draw timer and the open flag the main window tests
// before it asks for a redraw, and "Экспорт…" beside the zoom row.
#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <string>

#include "filters/window_cursor.h"
#include "gui/plot_export.h"
#include "gui/window_plot.h"
#include "session/session.h"

class QFrame;
class QHBoxLayout;
class QLabel;
class QPainter;
class QPushButton;
class QVBoxLayout;

namespace gc {

class ResponseWindow : public QWidget {
    Q_OBJECT

public:
    // The main window's button: set the open flag and show the window.
    void Open();
    // Whether the main window refreshes this window (set by Open, cleared on close).
    bool IsOpen() const { return open_; }
    // The main window's refresh after an edit: redraws only while open.
    void RefreshIfOpen();
    // Recomputes from the model and redraws everything.
    virtual void Redraw() = 0;

    WindowPlotArea* Area() const { return area_; }
    // Redraws so far; lets the tests see when one happened.
    int RedrawCount() const { return redraws_; }
    // Interval of the first-draw timer.
    int FirstDrawDelay() const { return firstDraw_.interval(); }

    // What "Экспорт…" writes: the lowered panel with its axis labels, and the
    // numbers of what the window shows now.
    PlotExportSource ExportSource();
    // The export asks for its file here (the dialogs by default), starting in folder.
    void SetFileChooser(FileChooser* chooser) { chooser_ = chooser; }
    void SetExportFolder(const QString& folder) { exportFolder_ = folder; }

signals:
    // A line for the status bar: what the export wrote, or why it did not.
    void statusMessage(const QString& text);

protected:
    struct Geometry {
        int frameWidth;  // the lowered panel
        int frameHeight;
        int areaLeft;  // the plot area within the panel
        int areaTop;
        int areaWidth;    // 256 or 257 columns
        int firstDrawMs;  // the one-shot timer started on show
    };
    ResponseWindow(const Session& m, const QString& title, const Geometry& g, QWidget* parent);

    virtual WindowCursor& Cursor() = 0;
    // The zoom buttons' changes of the window's state; true when it must redraw.
    virtual bool ZoomDouble() = 0;
    virtual bool ZoomHalve() = 0;
    virtual bool ZoomMax() = 0;
    virtual bool ZoomReset() = 0;
    // The export's numbers for the view shown: source.curves or source.csvText.
    virtual void SetExportNumbers(PlotExportSource& source) = 0;

    // Redraw bookkeeping for the derived Redraw.
    void CountRedraw() { ++redraws_; }
    void StartFirstDrawTimer() { firstDraw_.start(); }

    // Label texts after a redraw: the four denominators and ticks, the seven
    // level labels from the top down, the zoom box, the axis title, the read-outs.
    void SetFractions(const std::array<std::string, 4>& denominators, const std::array<std::string, 4>& ticks);
    void SetLevels(const std::array<std::string, 7>& levels);
    void SetStretchText(const std::string& text);
    void SetAxisTitle(const std::string& text);
    void SetReadouts(const std::string& x, const std::string& level);
    // The frequency-view labels and controls that the impulse view hides.
    void ShowFrequencyControls(bool shown);

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    const Session& m_;  // read at every redraw; the windows change nothing in it
    // The window's content: the derived window adds its own controls to the
    // rows and lays the column out beside anything else it shows.
    QVBoxLayout* column_ = nullptr;
    QHBoxLayout* topRow_ = nullptr;
    QHBoxLayout* bottomRow_ = nullptr;

private:
    void BuildPlotPanel(const Geometry& g);
    void BuildBottomRow();
    void PlaceAxisLabels();
    void ApplyCursor(bool changed);
    void ApplyZoom(bool (ResponseWindow::*step)());

    Geometry geometry_;
    bool open_ = false;
    int redraws_ = 0;
    QTimer firstDraw_;
    DialogFileChooser dialogChooser_;
    FileChooser* chooser_ = nullptr;
    QString exportFolder_;

    QFrame* frame_ = nullptr;
    WindowPlotArea* area_ = nullptr;
    QLabel* xReadout_ = nullptr;
    QLabel* levelReadout_ = nullptr;
    QLabel* xUnit_ = nullptr;
    QLabel* levelUnit_ = nullptr;
    QLabel* dbUnit_ = nullptr;
    QLabel* freqUnit_ = nullptr;
    QLabel* axisTitle_ = nullptr;
    QLabel* stretchLabel_ = nullptr;
    QLabel* stretchBox_ = nullptr;
    std::array<QLabel*, 7> levels_{};
    std::array<QLabel*, 4> numerators_{};
    std::array<QLabel*, 4> denominators_{};
    std::array<QLabel*, 4> ticks_{};
    std::array<QPushButton*, 4> zoomButtons_{};
};

}  // namespace gc
