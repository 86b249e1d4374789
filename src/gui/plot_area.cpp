#include "gui/plot_area.h"

#include <QLabel>
#include <QPainter>

#include "filters/plot_scale.h"

namespace gc {

LayeredPlotArea::LayeredPlotArea(int width, int height, QWidget* parent) : QWidget(parent) {
    setFixedSize(width, height);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor LayeredPlotArea::CursorColor() const { return palette().color(QPalette::Active, QPalette::Highlight); }

void LayeredPlotArea::Render() {
    const qreal dpr = devicePixelRatioF();
    buffer_ = QImage(QSize(qRound(width() * dpr), qRound(height() * dpr)), QImage::Format_RGB32);
    buffer_.setDevicePixelRatio(dpr);
    QPainter p(&buffer_);
    PaintLayers(p);
}

void LayeredPlotArea::paintEvent(QPaintEvent*) {
    // Moved to a screen of another pixel ratio: paint the same picture afresh.
    if (!qFuzzyCompare(buffer_.devicePixelRatio(), devicePixelRatioF())) Render();
    QPainter p(this);
    p.drawImage(0, 0, buffer_);
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
