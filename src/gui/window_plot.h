// The drawing surface of every fixed-geometry response plot (the main
// window's channel response, the CIC and PFIR windows): curves one point per
// column over the shared grid, marker and cursor.
#pragma once

#include <QColor>
#include <QPolygon>
#include <vector>

#include "gui/plot_area.h"

class QPainter;

namespace gc {

struct WindowPlotCurve {
    QColor colour;
    QPolygon points;  // column, row
};

// One complete picture, painted in layers: grid, curves, marker, cursor.
struct WindowPlotPicture {
    std::vector<WindowPlotCurve> curves;
    int markerColumn = -1;  // -1: none; may lie beyond the area (then not visible)
    int cursorColumn = -1;  // -1: no cursor
    int cursorLineY = -1;
    bool cursorHasLine = true;  // the impulse view draws the vertical line only
};

class WindowPlotArea : public LayeredPlotArea {
    Q_OBJECT
public:
    WindowPlotArea(int width, int height, QWidget* parent = nullptr);

    // Paints the picture into the buffer and schedules a repaint.
    void SetPicture(WindowPlotPicture picture);
    // Moves the cursor only: the curves stay as they were painted.
    void SetCursor(int column, int lineY);
    const WindowPlotPicture& Picture() const { return picture_; }

protected:
    void PaintUnderCursor(QPainter& p, bool vector) const override;
    void PaintCursorLayer(QPainter& p) const override;

private:
    WindowPlotPicture picture_;
};

}  // namespace gc
