#include "gui/plots/plot_area.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "filters/plot_scale.h"

namespace gc {

namespace {

QPoint PositionOf(const QMouseEvent* e) {
    const QPointF p = e->position();
    return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

}  // namespace

LayeredPlotArea::LayeredPlotArea(int width, int height, QWidget* parent) : QWidget(parent) {
    setFixedSize(width, height);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

LayeredPlotArea::LayeredPlotArea(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

QColor LayeredPlotArea::CursorColor() const { return palette().color(QPalette::Active, QPalette::Highlight); }

void LayeredPlotArea::PaintLayers(QPainter& p, bool vector) const {
    PaintUnderCursor(p, vector);
    PaintCursorLayer(p);
}

void LayeredPlotArea::Render() {
    const qreal dpr = devicePixelRatioF();
    base_ = QImage(QSize(qRound(width() * dpr), qRound(height() * dpr)), QImage::Format_RGB32);
    base_.setDevicePixelRatio(dpr);
    {
        QPainter p(&base_);
        // As a painter on the widget itself would start.
        p.setFont(font());
        PaintUnderCursor(p, false);
    }
    ++basePaints_;
    RenderCursor();
}

void LayeredPlotArea::RenderCursor() {
    if (base_.isNull()) return Render();
    buffer_ = base_.copy();
    {
        QPainter p(&buffer_);
        PaintCursorLayer(p);
    }
    update();
}

void LayeredPlotArea::paintEvent(QPaintEvent*) {
    // Moved to a screen of another pixel ratio: paint the same picture afresh.
    if (!qFuzzyCompare(buffer_.devicePixelRatio(), devicePixelRatioF())) Render();
    QPainter p(this);
    p.drawImage(0, 0, buffer_);
}

void LayeredPlotArea::mousePressEvent(QMouseEvent* e) {
    // Every press is taken, so that its release comes back here and not to the panel.
    if (e->button() == Qt::RightButton) emit rightPressed(PositionOf(e));
    e->accept();
}

void LayeredPlotArea::mouseMoveEvent(QMouseEvent* e) {
    emit moved(PositionOf(e));
    e->accept();
}

void LayeredPlotArea::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) emit rightReleased();
    e->accept();
}

void LayeredPlotArea::PaintBackground(QPainter& p) const {
    const int w = width(), h = height();
    p.fillRect(QRect(0, 0, w, h), Qt::white);
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    for (int k = 1; k <= kGridRows; ++k) p.drawLine(0, kGridRowStep * k, w, kGridRowStep * k);
    for (int k = 1; k <= kGridColumns; ++k) p.drawLine(kGridColumnStep * k, 0, kGridColumnStep * k, h);
}

void LayeredPlotArea::PaintMarker(QPainter& p, int column) const {
    if (column < 0 || column > width()) return;
    p.setPen(QPen(Qt::red, 1, Qt::SolidLine));
    p.drawLine(column, 0, column, height());
}

void LayeredPlotArea::PaintCursor(QPainter& p, int column, std::optional<int> row) const {
    if (column < 0) return;
    p.setPen(QPen(CursorColor(), 1, Qt::SolidLine));
    p.drawLine(column, 0, column, height());
    if (row) p.drawLine(0, *row, width(), *row);
}

void PaintFrameVector(QPainter& p, const QWidget& frame, const LayeredPlotArea& area) {
    for (QLabel* l : frame.findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (l->isVisibleTo(&frame)) l->render(&p, l->pos(), QRegion(), QWidget::RenderFlags());
    p.save();
    p.translate(area.pos());
    area.PaintLayers(p, true);
    p.restore();
}

}  // namespace gc
