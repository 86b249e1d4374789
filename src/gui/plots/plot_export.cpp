#include "gui/plots/plot_export.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>
#include <QPushButton>
#include <QSaveFile>
#include <QStringList>
#include <QSvgGenerator>
#include <QWidget>
#include <algorithm>

#include "gui/app/gc_application.h"
#include "gui/widgets/labels.h"

namespace gc {

std::optional<PlotExportFormat> PlotExportFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png")) return PlotExportFormat::Png;
    if (suffix == QLatin1String("svg")) return PlotExportFormat::Svg;
    if (suffix == QLatin1String("csv")) return PlotExportFormat::Csv;
    return std::nullopt;
}

namespace {

// The caption line: in the picture's font, a few pixels of margin.
int CaptionHeight(const QWidget& picture) { return QFontMetrics(picture.font()).height() + 6; }

// A vector file keeps its background clear and its curves the only paths:
// only the picture gets the strip's background.
void PaintCaption(QPainter& p, const QWidget& picture, const QRect& line, const QString& text, bool fill) {
    if (fill) p.fillRect(line, picture.palette().color(QPalette::Window));
    p.setFont(picture.font());
    p.setPen(picture.palette().color(QPalette::WindowText));
    const QString shown = QFontMetrics(picture.font()).elidedText(text, Qt::ElideRight, line.width() - 8);
    p.drawText(line.adjusted(4, 0, -4, 0), Qt::AlignLeft | Qt::AlignVCenter, shown);
}

QString CaptionOf(const PlotExportSource& source, const PlotExportOptions& options) {
    return options.caption && source.caption ? source.caption() : QString();
}

// The lines under the picture: its notes, then the caption when asked for.
QStringList StripLines(const PlotExportSource& source, const QString& caption) {
    QStringList lines = source.notes ? source.notes() : QStringList();
    if (!caption.isEmpty()) lines << caption;
    return lines;
}

bool WritePng(const PlotExportSource& source, const QString& caption, QSaveFile& file) {
    if (!source.picture) return false;
    // grab() renders at the widget's own pixel ratio: as sharp as on screen.
    const QPixmap picture = source.picture->grab();
    if (picture.isNull()) return false;
    const QStringList lines = StripLines(source, caption);
    if (lines.isEmpty()) return picture.save(&file, "PNG");
    const qreal dpr = picture.devicePixelRatio();
    const QSize logical = source.picture->size();
    const int line = CaptionHeight(*source.picture);
    QPixmap out(QSize(picture.width(), picture.height() + qRound(line * lines.size() * dpr)));
    out.setDevicePixelRatio(dpr);
    QPainter p(&out);
    p.drawPixmap(0, 0, picture);
    for (int i = 0; i < lines.size(); ++i)
        PaintCaption(p, *source.picture, QRect(0, logical.height() + i * line, logical.width(), line), lines[i], true);
    p.end();
    return out.save(&file, "PNG");
}

bool WriteSvg(const PlotExportSource& source, const QString& caption, QSaveFile& file) {
    if (!source.paintVector || source.vectorSize.isEmpty()) return false;
    QSize size = source.vectorSize;
    const QStringList lines = source.picture ? StripLines(source, caption) : QStringList();
    const int line = lines.isEmpty() ? 0 : CaptionHeight(*source.picture);
    size.rheight() += line * lines.size();
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(source.title);
    QPainter p;
    if (!p.begin(&svg)) return false;
    source.paintVector(p);
    for (int i = 0; i < lines.size(); ++i)
        PaintCaption(p, *source.picture, QRect(0, source.vectorSize.height() + i * line, size.width(), line), lines[i],
                     false);
    return p.end();
}

bool WriteCsv(const PlotExportSource& source, QSaveFile& file) {
    if (!source.csvText && !source.curves) return false;
    const std::string text = source.csvText ? source.csvText() : FormatCurvesCsv(source.curves());
    return file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
}

}  // namespace

QString PlotCaptionText(const std::string& labName, int channel, const QDate& date, bool unsaved) {
    QStringList parts;
    if (!labName.empty()) parts << QString::fromStdString(labName);
    // A picture of settings no file holds must say so.
    if (unsaved) parts << QStringLiteral("изменения не записаны");
    parts << ChannelText(channel) << date.toString(QStringLiteral("dd.MM.yyyy"));
    return parts.join(QStringLiteral(" · "));
}

PlotExportResult ExportPlot(const PlotExportSource& source, const QString& path, const PlotExportOptions& options) {
    const QString shown = QDir::toNativeSeparators(path);
    const std::optional<PlotExportFormat> format = PlotExportFormatOf(path);
    if (!format) return {false, QStringLiteral("Экспорт: тип файла %1 не известен (png, svg или csv)").arg(shown)};
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        switch (*format) {
            case PlotExportFormat::Png:
                ok = WritePng(source, CaptionOf(source, options), file);
                break;
            case PlotExportFormat::Svg:
                ok = WriteSvg(source, CaptionOf(source, options), file);
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
                                  std::function<FileChooser*()> chooser, std::function<void(const QString&)> report,
                                  PlotExportOptions* options) {
    auto* button = new QPushButton(QStringLiteral("Экспорт…"), parent);
    button->setObjectName(QStringLiteral("exportButton"));
    button->setFocusPolicy(Qt::NoFocus);
    if (options) {
        // The switch lives in the button's context menu: the plot panels have
        // no room for another control, and their looks are fixed.
        auto* captionAction = new QAction(QStringLiteral("Подпись под графиком (PNG, SVG)"), button);
        captionAction->setObjectName(QStringLiteral("exportCaption"));
        captionAction->setCheckable(true);
        captionAction->setChecked(options->caption);
        QObject::connect(captionAction, &QAction::toggled, button, [options](bool on) { options->caption = on; });
        button->addAction(captionAction);
        button->setContextMenuPolicy(Qt::ActionsContextMenu);
        button->setToolTip(
            QStringLiteral("PNG, SVG или CSV; правая кнопка: подпись под графиком (конфигурация, канал, дата)"));
    }
    QObject::connect(button, &QPushButton::clicked, button, [button, source, chooser, report, options] {
        FileChooser* c = chooser();
        if (!c) return;
        const PlotExportSource plot = source();
        const std::optional<QString> path = c->Choose(button->window(), PlotExportDialogRequest(plot.folder));
        if (!path) return;
        const PlotExportResult r = ExportPlot(plot, *path, options ? *options : PlotExportOptions{.caption = false});
        if (report) report(r.message);
        if (!r.ok) ShowErrorBox(button->window(), r.message);
    });
    return button;
}

QPushButton* PlotExportTarget::MakeButton(QWidget* parent, std::function<PlotExportSource()> source,
                                          std::function<void(const QString&)> report) {
    return MakePlotExportButton(
        parent, std::move(source), [this] { return Chooser(); }, std::move(report), &options_);
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
