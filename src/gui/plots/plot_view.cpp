#include "gui/plots/plot_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <cmath>

#include "filters/plot_scale.h"
#include "gui/plots/plot_export.h"

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

PlotView::PlotView(QWidget* parent) : LayeredPlotArea(parent) { Render(); }

void PlotView::SetPicture(PlotPicture picture) {
    picture_ = std::move(picture);
    Render();
    update();
}

void PlotView::SetFramedCursor(std::optional<double> x) {
    if (!picture_.framing) return;
    picture_.framing->cursorX = x;
    RenderCursor();
}

void PlotView::SetCursor(int column, int lineY) {
    if (picture_.cursorColumn == column && picture_.cursorLineY == lineY) return;
    picture_.cursorColumn = column;
    picture_.cursorLineY = lineY;
    RenderCursor();
}

void PlotView::PaintUnderCursor(QPainter& p, bool vector) const {
    if (picture_.framing) return PaintFramed(p, *picture_.framing, vector);
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
    if (const auto& f = picture_.framing) {
        if (!f->cursorX) return;
        // Inside the frame: the frame's own lines stay as they are.
        p.save();
        p.setClipRect(f->area.adjusted(1, 1, -1, -1));
        p.setPen(QPen(CursorColor(), 1));
        p.drawLine(QPointF(*f->cursorX, f->area.top()), QPointF(*f->cursorX, f->area.bottom()));
        p.restore();
        return;
    }
    PaintCursor(p, picture_.cursorColumn,
                picture_.cursorHasLine ? std::optional<int>(picture_.cursorLineY) : std::nullopt);
}

void PlotView::PaintFramed(QPainter& p, const PlotFraming& f, bool vector) const {
    const QRect area = f.area;
    p.fillRect(rect(), palette().window());
    p.fillRect(area, Qt::white);
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    for (double x : f.gridX) p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    for (double y : f.gridY) p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    p.setPen(Qt::black);
    for (const PlotText& t : f.texts) p.drawText(t.baseline, t.text);
    if (f.curves.empty()) return;

    p.save();
    p.setClipRect(area);
    for (const PlotCurveF& c : f.curves) {
        p.setPen(QPen(c.colour, 1));
        // A vector file has no clipping of its own: its curves stop at the area's edge.
        if (vector)
            DrawCurvePath(p, c.points.toPolygon(), QRectF(area));
        else
            p.drawPolyline(c.points);
    }
    for (const PlotEdge& e : f.edges) {
        p.setPen(QPen(e.colour, 1, e.style));
        p.drawLine(QPointF(e.x, area.top()), QPointF(e.x, area.bottom()));
    }
    p.restore();
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(area.adjusted(0, 0, -1, -1));
}

void PlotView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Render();
    emit resized();
}

void PlotView::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) emit leftPressed(e->position().toPoint());
    LayeredPlotArea::mousePressEvent(e);
}

void PlotView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) emit leftReleased(e->position().toPoint());
    LayeredPlotArea::mouseReleaseEvent(e);
}

void PlotView::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) emit leftDoubleClicked();
    e->accept();
}

void PlotView::wheelEvent(QWheelEvent* e) {
    const double notches = e->angleDelta().y() / 120.0;
    if (notches == 0) return;
    emit wheelTurned(e->position().toPoint(), notches);
    e->accept();
}

}  // namespace gc
