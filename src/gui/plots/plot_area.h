// What every plot surface shares: layers painted into its own buffer (sized
// for the screen's pixel ratio), so that a covered window comes back drawn
// and an SVG export gets the same layers. The layers under the cursor are
// kept apart from it: moving the cursor paints the cursor over a kept copy of
// the rest, not the curves again. For the fixed-geometry plots also a white
// area with the dotted grid every 40 and 64 pixels, a red marker and a cursor
// in the highlight colour.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <optional>

class QPainter;

namespace gc {

class LayeredPlotArea : public QWidget {
    Q_OBJECT
public:
    const QImage& Buffer() const { return buffer_; }
    // The cursor's colour: the palette's active highlight.
    QColor CursorColor() const;
    // The layers, in logical pixels: into the buffer, or with vector set for
    // a vector file (each curve one path, cut at the area's edge).
    void PaintLayers(QPainter& p, bool vector = false) const;
    // Paints of the layers under the cursor so far; lets the tests see that a
    // cursor move did not paint the curves again.
    int BasePaintCount() const { return basePaints_; }

signals:
    // Mouse positions in the area's pixels (a drag may leave the area).
    void rightPressed(QPoint at);
    void moved(QPoint at);
    void rightReleased();

protected:
    // A fixed-geometry surface of width x height.
    LayeredPlotArea(int width, int height, QWidget* parent);
    // A resizable one: the subclass calls Render() on each resize.
    explicit LayeredPlotArea(QWidget* parent);

    // Background, grid, curves and marker; then the cursor over them.
    virtual void PaintUnderCursor(QPainter& p, bool vector) const = 0;
    virtual void PaintCursorLayer(QPainter& p) const = 0;

    // Paints the buffer afresh and schedules a repaint. A subclass calls
    // Render() at the end of its constructor, once the layers can paint, and
    // on every change; RenderCursor() when only the cursor changed.
    void Render();
    void RenderCursor();
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    void PaintBackground(QPainter& p) const;
    // Nothing for a column beyond the area (or -1).
    void PaintMarker(QPainter& p, int column) const;
    // The vertical line at column and, when given, the horizontal one at row;
    // nothing for a column of -1.
    void PaintCursor(QPainter& p, int column, std::optional<int> row) const;

private:
    QImage base_;    // everything under the cursor
    QImage buffer_;  // base_ with the cursor, what the screen shows
    int basePaints_ = 0;
};

// A plot's frame for a vector file: its labels paint themselves (their text
// stays text in an SVG), the area draws its layers as strokes.
void PaintFrameVector(QPainter& p, const QWidget& frame, const LayeredPlotArea& area);

}  // namespace gc
