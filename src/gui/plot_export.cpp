#include "gui/plot_export.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>
#include <QPushButton>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QWidget>
#include <algorithm>

#include "gui/gc_application.h"

namespace gc {

std::optional<PlotExportFormat> PlotExportFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png")) return PlotExportFormat::Png;
    if (suffix == QLatin1String("svg")) return PlotExportFormat::Svg;
    if (suffix == QLatin1String("csv")) return PlotExportFormat::Csv;
    return std::nullopt;
}

namespace {

bool WritePng(const PlotExportSource& source, QSaveFile& file) {
    if (!source.picture) return false;
    // grab() renders at the widget's own pixel ratio: as sharp as on screen.
    const QPixmap picture = source.picture->grab();
    return !picture.isNull() && picture.save(&file, "PNG");
}

bool WriteSvg(const PlotExportSource& source, QSaveFile& file) {
    if (!source.paintVector || source.vectorSize.isEmpty()) return false;
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(source.vectorSize);
    svg.setViewBox(QRect(QPoint(0, 0), source.vectorSize));
    svg.setTitle(source.title);
    QPainter p;
    if (!p.begin(&svg)) return false;
    source.paintVector(p);
    return p.end();
}

bool WriteCsv(const PlotExportSource& source, QSaveFile& file) {
    if (!source.csvText && !source.curves) return false;
    const std::string text = source.csvText ? source.csvText() : FormatCurvesCsv(source.curves());
    return file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
}

}  // namespace

PlotExportResult ExportPlot(const PlotExportSource& source, const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    const std::optional<PlotExportFormat> format = PlotExportFormatOf(path);
    if (!format) return {false, QStringLiteral("Экспорт: тип файла %1 не известен (png, svg или csv)").arg(shown)};
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        switch (*format) {
            case PlotExportFormat::Png:
                ok = WritePng(source, file);
                break;
            case PlotExportFormat::Svg:
                ok = WriteSvg(source, file);
                break;
            case PlotExportFormat::Csv:
                ok = WriteCsv(source, file);
                break;
        }
    }
    if (!ok || !file.commit()) {
        file.cancelWriting();
        return {false, QStringLiteral("Экспорт: не удалось записать %1").arg(shown)};
    }
    return {true, QStringLiteral("Экспорт: записан %1").arg(shown)};
}

FileDialogRequest PlotExportDialogRequest(const QString& folder) {
    return {true, QStringLiteral("PNG (*.png);;SVG (*.svg);;CSV (*.csv)"), QStringLiteral("png"),
            folder.isEmpty() ? QStringLiteral(".") : folder};
}

QPushButton* MakePlotExportButton(QWidget* parent, std::function<PlotExportSource()> source,
                                  std::function<FileChooser*()> chooser, std::function<void(const QString&)> report) {
    auto* button = new QPushButton(QStringLiteral("Экспорт…"), parent);
    button->setObjectName(QStringLiteral("exportButton"));
    button->setFocusPolicy(Qt::NoFocus);
    QObject::connect(button, &QPushButton::clicked, button, [button, source, chooser, report] {
        FileChooser* c = chooser();
        if (!c) return;
        const PlotExportSource plot = source();
        const std::optional<QString> path = c->Choose(button->window(), PlotExportDialogRequest(plot.folder));
        if (!path) return;
        const PlotExportResult r = ExportPlot(plot, *path);
        if (report) report(r.message);
        if (!r.ok) ShowErrorBox(button->window(), r.message);
    });
    return button;
}

QPushButton* PlotExportTarget::MakeButton(QWidget* parent, std::function<PlotExportSource()> source,
                                          std::function<void(const QString&)> report) {
    return MakePlotExportButton(
        parent, std::move(source), [this] { return Chooser(); }, std::move(report));
}

namespace {

// Liang-Barsky: the part of the segment a-b inside r, if any.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& r) {
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return false;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const QPointF from = a;
    a = from + QPointF(dx, dy) * t0;
    b = from + QPointF(dx, dy) * t1;
    return true;
}

}  // namespace

QPainterPath ClippedCurvePath(const QPolygon& points, const QRectF& clip) {
    QPainterPath path;
    for (qsizetype i = 1; i < points.size(); ++i) {
        QPointF a = points[i - 1], b = points[i];
        if (!ClipSegment(a, b, clip)) continue;
        // A part that does not go on from where the path stands starts a new subpath.
        if (path.elementCount() == 0 || path.currentPosition() != a) path.moveTo(a);
        path.lineTo(b);
    }
    return path;
}

void DrawCurvePath(QPainter& p, const QPolygon& points, const QRectF& clip) {
    p.drawPath(ClippedCurvePath(points, clip));
}

}  // namespace gc
