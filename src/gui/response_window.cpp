#include "gui/response_window.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "filters/plot_scale.h"
#include "gui/labels.h"
#include "gui/readout_width.h"

namespace gc {

namespace {

// A white box with bold blue text: the read-outs and the zoom factor.
QLabel* MakeBox(QWidget* parent, int width, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setFixedSize(width, 17);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setStyleSheet(
        QStringLiteral("QLabel { background-color: white; color: blue; font-weight: bold; border: 1px solid gray; }"));
    return l;
}

QPushButton* MakeButton(QWidget* parent, const QString& text, const char* name, int width, int height = 0) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    b->setFixedWidth(std::max(width, b->fontMetrics().horizontalAdvance(text) + 10));
    if (height > 0) b->setFixedHeight(std::max(height, b->fontMetrics().height() + 4));
    return b;
}

}  // namespace

ResponseWindow::ResponseWindow(const Session& m, const QString& title, const Geometry& g, QWidget* parent)
    : QWidget(parent), m_(m), geometry_(g) {
    setWindowTitle(title);
    setWindowFlag(Qt::Window);

    topRow_ = new QHBoxLayout;
    topRow_->setSpacing(3);
    topRow_->addStretch(1);
    topRow_->addWidget(new QLabel(QStringLiteral("x="), this));
    // Wide enough for the widest read-out: four integer and four decimal
    // digits of MHz, a level far down in a null.
    xReadout_ = MakeBox(this, 49, "xReadout");
    xReadout_->ensurePolished();  // the style sheet's bold font is what the text is measured in
    FitReadoutToText(xReadout_, QStringLiteral("8888.8888"), 49);
    topRow_->addWidget(xReadout_);
    xUnit_ = new QLabel(QStringLiteral("MHz"), this);
    xUnit_->setObjectName(QStringLiteral("xUnit"));
    topRow_->addWidget(xUnit_);
    topRow_->addSpacing(12);
    topRow_->addWidget(new QLabel(QStringLiteral("y="), this));
    levelReadout_ = MakeBox(this, 49, "levelReadout");
    levelReadout_->ensurePolished();
    FitReadoutToText(levelReadout_, QStringLiteral("-8888.88"), 49);
    topRow_->addWidget(levelReadout_);
    levelUnit_ = new QLabel(QStringLiteral("dB"), this);
    levelUnit_->setObjectName(QStringLiteral("levelUnit"));
    topRow_->addWidget(levelUnit_);
    topRow_->addStretch(1);

    BuildPlotPanel(g);
    BuildBottomRow();

    column_ = new QVBoxLayout;
    column_->setSpacing(3);
    column_->addLayout(topRow_);
    column_->addWidget(frame_);
    column_->addLayout(bottomRow_);
    // Under the zoom row, at its end: the row itself is full, and a wider
    // window would move the plot away from its read-outs.
    auto* exportRow = new QHBoxLayout;
    exportRow->addStretch(1);
    exportRow->addWidget(MakePlotExportButton(
        this, [this] { return ExportSource(); }, [this] { return chooser_ ? chooser_ : &dialogChooser_; },
        [this](const QString& text) { emit statusMessage(text); }));
    column_->addLayout(exportRow);
    column_->addStretch(1);

    firstDraw_.setSingleShot(true);
    firstDraw_.setInterval(g.firstDrawMs);
    connect(&firstDraw_, &QTimer::timeout, this, [this] { Redraw(); });
}

void ResponseWindow::BuildPlotPanel(const Geometry& g) {
    frame_ = new QFrame(this);
    frame_->setObjectName(QStringLiteral("plotPanel"));
    frame_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame_->setFixedSize(g.frameWidth, g.frameHeight);
    area_ = new WindowPlotArea(g.areaWidth, kPlotHeight, frame_);
    area_->setObjectName(QStringLiteral("plotArea"));
    area_->move(g.areaLeft, g.areaTop);

    dbUnit_ = BoldLabel(frame_, QStringLiteral("dB"), QStringLiteral("dbUnit"));
    dbUnit_->move(11, std::max(2, g.areaTop - 26));
    axisTitle_ = BoldLabel(frame_, QStringLiteral("F/Fsamp"), QStringLiteral("axisTitle"));
    SetColour(axisTitle_, QColor(128, 0, 0));
    freqUnit_ = BoldLabel(frame_, QStringLiteral("MHz"), QStringLiteral("freqUnit"));
    SetColour(freqUnit_, QColor(128, 0, 0));
    static const char* const kLevels[7] = {"0", "-20", "-40", "-60", "-80", "-100", "-120"};
    for (size_t k = 0; k < levels_.size(); ++k)
        levels_[k] = BoldLabel(frame_, QLatin1String(kLevels[k]), QStringLiteral("level%1").arg(k));
    static const char* const kNumerators[4] = {"1/", "1/", "3/", "1/"};
    static const char* const kDenominators[4] = {"8", "4", "8", "2"};
    static const char* const kTicks[4] = {"12.5", "25.0", "37.5", "50.0"};
    for (size_t k = 0; k < 4; ++k) {
        numerators_[k] = BoldLabel(frame_, QLatin1String(kNumerators[k]));
        denominators_[k] = BoldLabel(frame_, QLatin1String(kDenominators[k]));
        denominators_[k]->setObjectName(QStringLiteral("denominator%1").arg(k));
        ticks_[k] = BoldLabel(frame_, QLatin1String(kTicks[k]));
        ticks_[k]->setObjectName(QStringLiteral("tick%1").arg(k));
    }
    QLabel* freq0 = BoldLabel(frame_, QStringLiteral("0"));
    freq0->adjustSize();
    freq0->move(g.areaLeft - freq0->width() / 2, g.areaTop + kPlotHeight + 2);
    PlaceAxisLabels();
}

void ResponseWindow::BuildBottomRow() {
    bottomRow_ = new QHBoxLayout;
    bottomRow_->setSpacing(3);

    auto* cursor = new QGridLayout;
    cursor->setSpacing(1);
    QLabel* cursorLabel = BoldLabel(this, QStringLiteral("Курсор"));
    SetColour(cursorLabel, Qt::blue);
    cursor->addWidget(cursorLabel, 0, 0, 1, 2, Qt::AlignHCenter);
    QPushButton* left = MakeButton(this, QStringLiteral("<"), "cursorLeft", 22, 14);
    QPushButton* right = MakeButton(this, QStringLiteral(">"), "cursorRight", 22, 14);
    cursor->addWidget(left, 1, 0);
    cursor->addWidget(right, 1, 1);
    bottomRow_->addLayout(cursor);
    bottomRow_->addSpacing(8);

    stretchLabel_ = new QLabel(QStringLiteral("Растяж. по X"), this);
    stretchLabel_->setObjectName(QStringLiteral("stretchLabel"));
    bottomRow_->addWidget(stretchLabel_);
    stretchBox_ = MakeBox(this, 29, "stretchBox");
    ShowAsReadOnly(stretchBox_);
    stretchBox_->setText(QStringLiteral("1"));
    bottomRow_->addWidget(stretchBox_);
    const struct {
        const char* text;
        const char* name;
        bool (ResponseWindow::*step)();
    } zooms[4] = {{"*2", "zoomDouble", &ResponseWindow::ZoomDouble},
                  {"/2", "zoomHalve", &ResponseWindow::ZoomHalve},
                  {"max", "zoomMax", &ResponseWindow::ZoomMax},
                  {"=1", "zoomReset", &ResponseWindow::ZoomReset}};
    for (size_t k = 0; k < 4; ++k) {
        zoomButtons_[k] = MakeButton(this, QLatin1String(zooms[k].text), zooms[k].name, 23);
        bottomRow_->addWidget(zoomButtons_[k]);
        const auto step = zooms[k].step;
        connect(zoomButtons_[k], &QPushButton::clicked, this, [this, step] { ApplyZoom(step); });
    }
    bottomRow_->addStretch(1);

    connect(left, &QPushButton::clicked, this, [this] { ApplyCursor(CursorLeft(Cursor())); });
    connect(right, &QPushButton::clicked, this, [this] { ApplyCursor(CursorRight(Cursor())); });
    connect(area_, &WindowPlotArea::rightPressed, this,
            [this](int x, int y) { ApplyCursor(CursorPress(Cursor(), x, y)); });
    connect(area_, &WindowPlotArea::moved, this, [this](int x, int y) { ApplyCursor(CursorMove(Cursor(), x, y)); });
    connect(area_, &WindowPlotArea::rightReleased, this, [this] { CursorRelease(Cursor()); });
}

PlotExportSource ResponseWindow::ExportSource() {
    PlotExportSource s;
    s.picture = frame_;
    s.vectorSize = frame_->size();
    s.paintVector = [this](QPainter& p) { PaintFrameVector(p, *frame_, *area_); };
    s.title = windowTitle();
    s.folder = exportFolder_;
    SetExportNumbers(s);
    return s;
}

void ResponseWindow::ApplyCursor(bool changed) {
    if (changed) Redraw();
}

void ResponseWindow::ApplyZoom(bool (ResponseWindow::*step)()) {
    // A button that changes nothing does not redraw.
    if ((this->*step)()) Redraw();
}

void ResponseWindow::Open() {
    open_ = true;
    show();
    raise();
    activateWindow();
}

void ResponseWindow::RefreshIfOpen() {
    if (open_) Redraw();
}

void ResponseWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The first curve is drawn once the window itself has been painted.
    firstDraw_.start();
}

void ResponseWindow::closeEvent(QCloseEvent* event) {
    // Zoom, view and cursor stay for the next opening.
    open_ = false;
    firstDraw_.stop();
    event->accept();
}

void ResponseWindow::mousePressEvent(QMouseEvent* event) {
    // Taken so that the release comes here: the plot panel beside the area and
    // the window's background.
    event->accept();
}

void ResponseWindow::mouseReleaseEvent(QMouseEvent* event) {
    // Any button released beside the plot area removes the cursor.
    if (CursorRemove(Cursor())) Redraw();
    event->accept();
}

void ResponseWindow::SetFractions(const std::array<std::string, 4>& denominators,
                                  const std::array<std::string, 4>& ticks) {
    for (size_t k = 0; k < 4; ++k) {
        denominators_[k]->setText(Text(denominators[k]));
        ticks_[k]->setText(Text(ticks[k]));
    }
    PlaceAxisLabels();
}

void ResponseWindow::SetLevels(const std::array<std::string, 7>& levels) {
    for (size_t k = 0; k < levels_.size(); ++k) levels_[k]->setText(Text(levels[k]));
    PlaceAxisLabels();
}

void ResponseWindow::SetStretchText(const std::string& text) { stretchBox_->setText(Text(text)); }

void ResponseWindow::SetAxisTitle(const std::string& text) {
    axisTitle_->setText(Text(text));
    PlaceAxisLabels();
}

void ResponseWindow::SetReadouts(const std::string& x, const std::string& level) {
    xReadout_->setText(Text(x));
    levelReadout_->setText(Text(level));
}

void ResponseWindow::ShowFrequencyControls(bool shown) {
    for (QWidget* w :
         {static_cast<QWidget*>(dbUnit_), static_cast<QWidget*>(freqUnit_), static_cast<QWidget*>(axisTitle_),
          static_cast<QWidget*>(xUnit_), static_cast<QWidget*>(levelUnit_), static_cast<QWidget*>(stretchLabel_),
          static_cast<QWidget*>(stretchBox_)})
        w->setVisible(shown);
    for (QLabel* l : numerators_) l->setVisible(shown);
    for (QPushButton* b : zoomButtons_) b->setVisible(shown);
}

// Tick labels sit on the grid lines and rows they name, whatever the width of their text.
void ResponseWindow::PlaceAxisLabels() {
    const Geometry& g = geometry_;
    const int columns[4] = {kGridColumnStep, 2 * kGridColumnStep, 3 * kGridColumnStep, ResponsePoints};
    for (size_t k = 0; k < 4; ++k) {
        QLabel* num = numerators_[k];
        QLabel* den = denominators_[k];
        QLabel* tick = ticks_[k];
        num->adjustSize();
        den->adjustSize();
        tick->adjustSize();
        const int x = g.areaLeft + columns[k];
        const int fractionLeft =
            std::min(x - (num->width() + den->width()) / 2, g.frameWidth - 2 - num->width() - den->width());
        num->move(fractionLeft, g.areaTop - num->height() - 1);
        den->move(fractionLeft + num->width(), g.areaTop - den->height() - 1);
        tick->move(std::min(x - tick->width() / 2, g.frameWidth - 2 - tick->width()), g.areaTop + kPlotHeight + 2);
    }
    for (size_t k = 0; k < levels_.size(); ++k) {
        QLabel* l = levels_[k];
        l->adjustSize();
        const int y = g.areaTop + kGridRowStep * static_cast<int>(k) - l->height() / 2;
        l->move(std::max(1, g.areaLeft - 3 - l->width()), std::min(y, g.frameHeight - 2 - l->height()));
    }
    axisTitle_->adjustSize();
    axisTitle_->move(g.areaLeft + (g.areaWidth - axisTitle_->width()) / 2, 1);
    freqUnit_->adjustSize();
    freqUnit_->move(g.areaLeft + (g.areaWidth - freqUnit_->width()) / 2,
                    std::min(g.areaTop + kPlotHeight + 18, g.frameHeight - 2 - freqUnit_->height()));
}

}  // namespace gc
