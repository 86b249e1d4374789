// "Экспорт…" for any plot: the picture as PNG (at the screen's pixel ratio)
// or SVG (vector strokes, one path per curve), or the curves' numbers as CSV.
// A plot window hands over a PlotExportSource and gets a ready button; the
// main plot uses it, and so can every other plot window.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

#include "filters/curve_csv.h"
#include "gui/app/file_chooser.h"

class QDate;
class QPainter;
class QPainterPath;
class QPolygon;
class QRectF;
class QPushButton;
class QWidget;

namespace gc {

struct PlotExportSource {
    // PNG: this widget (axes and labels included) as the screen shows it.
    QWidget* picture = nullptr;
    // SVG: the same picture drawn on any painter within vectorSize; each curve
    // must be one QPainterPath, and nothing else a path.
    std::function<void(QPainter&)> paintVector;
    QSize vectorSize;
    // CSV: the curves shown, as numbers; or, for numbers that are no curves
    // over frequency (the taps), the file's text itself, which then wins.
    std::function<CurveTable()> curves;
    std::function<std::string()> csvText;
    QString title;   // the plot's caption, for the SVG
    QString folder;  // where the save dialog opens; empty: the current folder
    // The line under the picture (configuration, channel, date), when the
    // export options ask for it; empty: none.
    std::function<QString()> caption;
    // Lines always painted under a PNG or SVG picture, above the caption (a
    // legend and the figures that belong with the curves); empty: none.
    std::function<QStringList()> notes;
};

// What the user chose for an export beside the file.
struct PlotExportOptions {
    // PNG and SVG carry the caption line under the plot; a CSV never does.
    bool caption = true;
};

// The caption of a channel's plot: "std.lab · Канал A · 07.12.2026".
QString PlotCaptionText(const std::string& labName, int channel, const QDate& date, bool unsaved = false);

enum class PlotExportFormat { Png, Svg, Csv };

// By the file's suffix, in any case; nullopt for another suffix.
std::optional<PlotExportFormat> PlotExportFormatOf(const QString& path);

struct PlotExportResult {
    bool ok = false;
    QString message;  // what was written, or why nothing was
};

// Writes the file in the format of its suffix. The file is replaced only once
// it is complete: a failure leaves an existing file as it was.
PlotExportResult ExportPlot(const PlotExportSource& source, const QString& path, const PlotExportOptions& options = {});

// The save dialog's request: the three file types, PNG first, in folder.
FileDialogRequest PlotExportDialogRequest(const QString& folder);

// A button "Экспорт…" that asks chooser() for a file and exports source()
// there; report gets the line for the status bar, a failure also shows the
// error box.
// The button's context menu switches the caption line of options on and off.
QPushButton* MakePlotExportButton(QWidget* parent, std::function<PlotExportSource()> source,
                                  std::function<FileChooser*()> chooser, std::function<void(const QString&)> report,
                                  PlotExportOptions* options = nullptr);

// Where a plot's "Экспорт…" asks for its file: the owner's chooser (a test's)
// or the dialogs, starting in the owner's folder.
class PlotExportTarget {
public:
    void SetFileChooser(FileChooser* chooser) { chooser_ = chooser; }
    void SetFolder(const QString& folder) { folder_ = folder; }
    const QString& Folder() const { return folder_; }
    // The caption line (configuration, channel, date), asked for when an export is written.
    void SetCaptionSource(std::function<QString()> caption) { caption_ = std::move(caption); }
    // The folder and the caption line of an export.
    void FillSource(PlotExportSource& s) const {
        s.folder = folder_;
        s.caption = caption_;
    }
    FileChooser* Chooser() { return chooser_ ? chooser_ : &dialogs_; }
    PlotExportOptions& Options() { return options_; }
    // The button, exporting source(); report gets the status line.
    QPushButton* MakeButton(QWidget* parent, std::function<PlotExportSource()> source,
                            std::function<void(const QString&)> report);

private:
    DialogFileChooser dialogs_;
    FileChooser* chooser_ = nullptr;
    QString folder_;
    std::function<QString()> caption_;
    PlotExportOptions options_;
};

// The polyline through points, cut to the parts inside clip, as one path:
// the form in which an SVG keeps a curve as one element (the SVG writer does
// not clip).
QPainterPath ClippedCurvePath(const QPolygon& points, const QRectF& clip);
void DrawCurvePath(QPainter& p, const QPolygon& points, const QRectF& clip);

}  // namespace gc
