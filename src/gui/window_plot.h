// The drawing surface of the CIC and PFIR response windows: white area,
// dotted grid every 40 and 64 pixels, curves one point per column, the red
// marker and the cursor. It paints from its own buffer (sized for the
// screen's pixel ratio), so a covered window comes back drawn.
#pragma once

#include <QColor>
#include <QImage>
#include <QPolygon>
#include <QWidget>
#include <vector>

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

class WindowPlotArea : public QWidget {
    Q_OBJECT
public:
    WindowPlotArea(int width, int height, QWidget* parent = nullptr);

    // Paints the picture into the buffer and schedules a repaint.
    void SetPicture(WindowPlotPicture picture);
    const WindowPlotPicture& Picture() const { return picture_; }
    const QImage& Buffer() const { return buffer_; }
    QColor CursorColor() const;
    // The layers of the picture, in logical pixels: into the buffer, or with
    // vector set for a vector file (each curve one path, cut at the area's edge).
    void PaintLayers(QPainter& p, bool vector = false) const;

signals:
    void rightPressed(int x, int y);
    void moved(int x, int y);
    void rightReleased();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Render();

    WindowPlotPicture picture_;
    QImage buffer_;
};

}  // namespace gc
