// The one plot view: every response plot (the main window's channel
// response, the CIC and PFIR windows, the designer's preview, "Анализ
// тракта") is an instance. Fed a picture through setters, it paints it in
// layers and computes nothing itself. A fixed-geometry picture fills the
// view: curves one point per column over the shared grid, the marker and the
// cursor. A framed picture (the resizable plot) lies in an area inside the
// view, with its own grid lines, captions and a frame.
#pragma once

#include <QColor>
#include <QPolygon>
#include <QRect>
#include <QString>
#include <optional>
#include <vector>

#include "gui/plots/plot_area.h"

class QPainter;

namespace gc {

struct PlotCurve {
    QColor colour;
    QPolygon points;  // column, row
};

// Rows of consecutive points, one point per column from column 0: the one
// place where a point becomes a pixel column.
PlotCurve CurveOfRows(const QColor& colour, const int* rows, int count);

// A curve in view coordinates of a framed picture.
struct PlotCurveF {
    QColor colour;
    QPolygonF points;
};

struct PlotText {
    QPointF baseline;  // left end of the baseline
    QString text;
};

// A vertical line across the area of a framed picture.
struct PlotEdge {
    double x = 0;
    QColor colour;
    Qt::PenStyle style = Qt::SolidLine;
};

// What a framed picture adds: everything in view coordinates.
struct PlotFraming {
    QRect area;
    std::vector<double> gridX, gridY;  // dotted lines across the area
    std::vector<PlotText> texts;
    std::vector<PlotCurveF> curves;  // drawn in order, cut at the area
    std::vector<PlotEdge> edges;     // over the curves
    std::optional<double> cursorX;   // the cursor's vertical line
};

// One complete picture, painted in layers: grid, curves, marker, cursor.
struct PlotPicture {
    std::vector<PlotCurve> curves;
    int markerColumn = -1;  // -1: none; may lie beyond the area (then not visible)
    int cursorColumn = -1;  // -1: no cursor
    int cursorLineY = -1;
    bool cursorHasLine = true;           // the impulse view draws the vertical line only
    std::optional<PlotFraming> framing;  // set: a framed picture; the fields above are unused
};

class PlotView : public LayeredPlotArea {
    Q_OBJECT
public:
    // A fixed-geometry view of width x height.
    PlotView(int width, int height, QWidget* parent = nullptr);
    // A resizable one, for framed pictures: its owner draws anew on resized().
    explicit PlotView(QWidget* parent = nullptr);

    // Paints the picture into the buffer and schedules a repaint.
    void SetPicture(PlotPicture picture);
    // Moves the cursor only: the curves stay as they were painted.
    void SetCursor(int column, int lineY);
    void SetFramedCursor(std::optional<double> x);
    const PlotPicture& Picture() const { return picture_; }

signals:
    // The mouse beyond what every plot takes (rightPressed, moved, rightReleased).
    void leftPressed(QPoint at);
    void leftReleased(QPoint at);
    void leftDoubleClicked();
    void wheelTurned(QPoint at, double notches);
    void resized();

protected:
    void PaintUnderCursor(QPainter& p, bool vector) const override;
    void PaintCursorLayer(QPainter& p) const override;
    void PaintFramed(QPainter& p, const PlotFraming& f, bool vector) const;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    PlotPicture picture_;
};

}  // namespace gc
