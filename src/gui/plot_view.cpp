#include "gui/plot_view.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "filters/plot_scale.h"
#include "gui/plot_export.h"

namespace gc {

namespace {

// Draws the polyline without its segments that lie wholly below or right of
// the area (the deep stopband of a thousand aliasing zones, taps beyond the
// last column): the picture is the same, the clipping work is not. The margin
// keeps segments that a wide pen on a HiDPI screen would still touch.
void DrawVisibleRuns(QPainter& p, const QPolygon& points, int w, int h) {
    constexpr int kMargin = 2;
    auto hidden = [&](const QPoint& a, const QPoint& b) {
        return (a.y() >= h + kMargin && b.y() >= h + kMargin) || (a.x() >= w + kMargin && b.x() >= w + kMargin);
    };
    const int n = static_cast<int>(points.size());
    int start = 0;
    for (int k = 1; k <= n; ++k) {
        if (k < n && !hidden(points[k - 1], points[k])) continue;
        // Points start .. k-1 form a run of visible segments.
        if (k - 1 > start) p.drawPolyline(points.constData() + start, k - start);
        start = k;
    }
}

}  // namespace

PlotCurve CurveOfRows(const QColor& colour, const int* rows, int count) {
    QPolygon points(count);
    for (int i = 0; i < count; ++i) points.setPoint(i, ColumnOfPoint(i), rows[i]);
    return {colour, points};
}

PlotView::PlotView(int width, int height, QWidget* parent) : LayeredPlotArea(width, height, parent) { Render(); }

PlotView::PlotView(QWidget* parent) : PlotView(kPlotWidth, kPlotHeight, parent) {}

void PlotView::SetPicture(PlotPicture picture) {
    picture_ = std::move(picture);
    Render();
    update();
}

void PlotView::SetCursor(int column, int lineY) {
    if (picture_.cursorColumn == column && picture_.cursorLineY == lineY) return;
    picture_.cursorColumn = column;
    picture_.cursorLineY = lineY;
    RenderCursor();
}

void PlotView::PaintUnderCursor(QPainter& p, bool vector) const {
    const int w = width(), h = height();
    PaintBackground(p);
    for (const PlotCurve& c : picture_.curves) {
        p.setPen(QPen(c.colour, 1, Qt::SolidLine));
        if (!vector) {
            DrawVisibleRuns(p, c.points, w, h);
            continue;
        }
        // A vector file has no clipping of its own; a curve wholly outside
        // the area (a deep aliasing zone) is not shown and leaves no path.
        const QPainterPath path = ClippedCurvePath(c.points, QRectF(0, 0, w, h));
        if (!path.isEmpty()) p.drawPath(path);
    }
    PaintMarker(p, picture_.markerColumn);
}

void PlotView::PaintCursorLayer(QPainter& p) const {
    PaintCursor(p, picture_.cursorColumn,
                picture_.cursorHasLine ? std::optional<int>(picture_.cursorLineY) : std::nullopt);
}

}  // namespace gc
