// The plot view of every fixed-geometry response plot (the main window's
// channel response, the CIC and PFIR windows, the designer's preview): fed a
// picture through setters, it paints curves one point per column over the
// shared grid, the marker and the cursor, and computes nothing itself.
#pragma once

#include <QColor>
#include <QPolygon>
#include <vector>

#include "gui/plot_area.h"

class QPainter;

namespace gc {

struct PlotCurve {
    QColor colour;
    QPolygon points;  // column, row
};

// Rows of consecutive points, one point per column from column 0: the one
// place where a point becomes a pixel column.
PlotCurve CurveOfRows(const QColor& colour, const int* rows, int count);

// One complete picture, painted in layers: grid, curves, marker, cursor.
struct PlotPicture {
    std::vector<PlotCurve> curves;
    int markerColumn = -1;  // -1: none; may lie beyond the area (then not visible)
    int cursorColumn = -1;  // -1: no cursor
    int cursorLineY = -1;
    bool cursorHasLine = true;  // the impulse view draws the vertical line only
};

class PlotView : public LayeredPlotArea {
    Q_OBJECT
public:
    PlotView(int width, int height, QWidget* parent = nullptr);
    // The main plot's size: 257 x 240.
    explicit PlotView(QWidget* parent = nullptr);

    // Paints the picture into the buffer and schedules a repaint.
    void SetPicture(PlotPicture picture);
    // Moves the cursor only: the curves stay as they were painted.
    void SetCursor(int column, int lineY);
    const PlotPicture& Picture() const { return picture_; }

protected:
    void PaintUnderCursor(QPainter& p, bool vector) const override;
    void PaintCursorLayer(QPainter& p) const override;

private:
    PlotPicture picture_;
};

}  // namespace gc
