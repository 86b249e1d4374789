// What every plot surface shares: a white area with the dotted grid every 40
// and 64 pixels, a red marker and a cursor in the highlight colour, painted in
// layers into its own buffer (sized for the screen's pixel ratio), so that a
// covered window comes back drawn and an SVG export gets the same layers.
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
    virtual void PaintLayers(QPainter& p, bool vector = false) const = 0;

protected:
    LayeredPlotArea(int width, int height, QWidget* parent);

    // Paints the layers into the buffer. A subclass calls it at the end of its
    // constructor, once PaintLayers can run, and with update() on each change.
    void Render();
    void paintEvent(QPaintEvent* event) override;

    void PaintBackground(QPainter& p) const;
    // Nothing for a column beyond the area (or -1).
    void PaintMarker(QPainter& p, int column) const;
    // The vertical line at column and, when given, the horizontal one at row;
    // nothing for a column of -1.
    void PaintCursor(QPainter& p, int column, std::optional<int> row) const;

private:
    QImage buffer_;
};

// A plot's frame for a vector file: its labels paint themselves (their text
// stays text in an SVG), the area draws its layers as strokes.
void PaintFrameVector(QPainter& p, const QWidget& frame, const LayeredPlotArea& area);

}  // namespace gc
