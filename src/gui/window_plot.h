// The drawing surface of the CIC and PFIR response windows: curves one
// point per column over the shared grid, marker and cursor.
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
    const WindowPlotPicture& Picture() const { return picture_; }
    void PaintLayers(QPainter& p, bool vector = false) const override;

signals:
    void rightPressed(int x, int y);
    void moved(int x, int y);
    void rightReleased();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    WindowPlotPicture picture_;
};

}  // namespace gc
