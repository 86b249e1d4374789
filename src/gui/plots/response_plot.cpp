#include "gui/plots/response_plot.h"

#include "gui/widgets/readout_width.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "filters/curve_csv.h"
#include "gui/widgets/labels.h"

namespace gc {

namespace {

// The lowered panel: 325 x 313, the area at 52, 32, plain labels with the
// captions and the fractions at fixed places.
AxisFrameStyle MainPlotStyle() {
    AxisFrameStyle s{};
    s.frameWidth = 325;
    s.frameHeight = 313;
    s.areaLeft = 52;
    s.areaTop = 32;
    s.areaWidth = kPlotWidth;
    s.bold = false;
    s.levelGap = 4;
    s.dbUnitY = 3;
    s.titleAt = QPoint(141, 1);
    s.unitAt = QPoint(159, 290);
    s.fractionY = 15;
    s.tickName = "mhzTick";
    s.levelName = "dbTick";
    s.firstNamedLevel = 1;
    return s;
}

// A white box with blue text, for the read-outs and the zoom factors, wide
// enough for the widest text it can show.
QLabel* MakeBox(QWidget* parent, int width, const char* name, const char* widest) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setFixedSize(width, 17);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // It looks like an edit box: a click takes the focus, shows it, and typing does nothing.
    l->setFocusPolicy(Qt::ClickFocus);
    l->setStyleSheet(
        QStringLiteral("QLabel { background-color: white; color: blue; border: 1px solid gray; }"
                       "QLabel:focus { border: 1px solid palette(highlight); }"));
    FitReadoutToText(l, QLatin1String(widest), width);
    return l;
}

QPushButton* MakeButton(QWidget* parent, const QString& text, const char* name) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setFixedWidth(std::max(26, b->fontMetrics().horizontalAdvance(text) + 10));
    return b;
}

}  // namespace

PlotPicture PictureOfFrame(const PlotFrame& f) {
    PlotPicture pic;
    if (f.hasCurve) pic.curves.push_back(CurveOfRows(Qt::black, f.curveY.data(), kResponsePoints));
    pic.markerColumn = f.markerColumn;
    pic.cursorColumn = f.cursorColumn;
    pic.cursorLineY = f.cursorLineY;
    return pic;
}

// --- ResponsePlotPanel ------------------------------------------------------

ResponsePlotPanel::ResponsePlotPanel(QWidget* parent) : QWidget(parent) {
    // A click anywhere on the panel (a label, the margin) takes the focus from the
    // edit boxes of the window, so that typing cannot change a setting unseen.
    setFocusPolicy(Qt::ClickFocus);
    auto* top = new QHBoxLayout;
    top->setSpacing(3);
    QLabel* title = MakeLabel(this, QStringLiteral("АЧХ канала"), QStringLiteral("plotTitle"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    top->addWidget(title);
    top->addStretch(1);
    top->addWidget(MakeLabel(this, QStringLiteral("x=")));
    freqReadout_ = MakeBox(this, 66, "freqReadout", kWidestFrequency);
    top->addWidget(freqReadout_);
    top->addWidget(MakeLabel(this, QStringLiteral("kHz")));
    top->addSpacing(6);
    top->addWidget(MakeLabel(this, QStringLiteral("y=")));
    levelReadout_ = MakeBox(this, 49, "levelReadout", kWidestLevel);
    top->addWidget(levelReadout_);
    top->addWidget(MakeLabel(this, QStringLiteral("dB")));

    area_ = new PlotView(kPlotWidth, kPlotHeight);
    area_->setFocusPolicy(Qt::ClickFocus);
    frame_ = new ResponsePlotFrame(MainPlotStyle(), area_, this);
    frame_->setObjectName(QStringLiteral("plotPanel"));

    auto* rows = new QGridLayout;
    rows->setHorizontalSpacing(2);
    rows->setVerticalSpacing(2);
    rows->addWidget(MakeLabel(this, QStringLiteral("Курсор")), 0, 0, 1, 2);
    QPushButton* left = MakeButton(this, QStringLiteral("<"), "cursorLeft");
    QPushButton* right = MakeButton(this, QStringLiteral(">"), "cursorRight");
    rows->addWidget(left, 1, 0);
    rows->addWidget(right, 1, 1);
    rows->setColumnStretch(2, 1);
    rows->addWidget(MakeLabel(this, QStringLiteral("Растяжение по X")), 0, 2, Qt::AlignRight);
    xStretchBox_ = MakeBox(this, 37, "xStretchBox", "8888");
    yStretchBox_ = MakeBox(this, 37, "yStretchBox", "8888");
    for (QLabel* box : {xStretchBox_, yStretchBox_}) ShowAsReadOnly(box);
    rows->addWidget(xStretchBox_, 0, 3);
    rows->addWidget(yStretchBox_, 1, 3);
    // Under the X caption: the export button, where the space is free, and the
    // second row's own caption, which reads on from the first.
    auto* yRow = new QHBoxLayout;
    yRow->setSpacing(2);
    yRow->addStretch(1);
    yRow->addWidget(export_.MakeButton(
        this, [this] { return ExportSource(); }, [this](const QString& text) { emit statusMessage(text); }));
    yRow->addWidget(MakeLabel(this, QStringLiteral("по Y"), QStringLiteral("yStretchLabel")));
    rows->addLayout(yRow, 1, 2);

    struct ZoomButton {
        const char* text;
        const char* name;
        PlotAction (*step)(PlotState&);
    };
    const ZoomButton xButtons[4] = {{"*2", "xDouble", ZoomXDouble},
                                    {"/2", "xHalve", ZoomXHalve},
                                    {"max", "xMax", ZoomXMax},
                                    {"=1", "xReset", ZoomXReset}};
    const ZoomButton yButtons[4] = {{"*2", "yDouble", ZoomYDouble},
                                    {"/2", "yHalve", ZoomYHalve},
                                    {"max", "yMax", ZoomYMax},
                                    {"=1", "yReset", ZoomYReset}};
    for (int k = 0; k < 4; ++k) {
        for (int row = 0; row < 2; ++row) {
            const ZoomButton& z = row == 0 ? xButtons[k] : yButtons[k];
            QPushButton* b = MakeButton(this, QLatin1String(z.text), z.name);
            rows->addWidget(b, row, 4 + k);
            auto step = z.step;
            connect(b, &QPushButton::clicked, this, [this, step] { Apply(step(state_)); });
        }
    }
    connect(left, &QPushButton::clicked, this, [this] { Apply(CursorStepLeft(state_)); });
    connect(right, &QPushButton::clicked, this, [this] { Apply(CursorStepRight(state_)); });

    connect(area_, &PlotView::rightPressed, this, [this](QPoint at) { Apply(CursorRightPress(state_, at.x())); });
    connect(area_, &PlotView::moved, this, [this](QPoint at) { Apply(CursorDrag(state_, at.x())); });
    connect(area_, &PlotView::rightReleased, this, [this] { CursorRightRelease(state_); });
    connect(frame_, &ResponsePlotFrame::released, this, [this](Qt::MouseButton button, bool inside) {
        if (button == Qt::RightButton && inside) Apply(CursorRemove(state_));
    });

    redrawTimer_.setSingleShot(true);
    redrawTimer_.setInterval(100);
    connect(&redrawTimer_, &QTimer::timeout, this, &ResponsePlotPanel::DrawResponsePlot);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(4);
    v->addLayout(top);
    v->addWidget(frame_);
    v->addLayout(rows);
    v->addStretch(1);

    xStretchBox_->setText(QStringLiteral("1"));
    yStretchBox_->setText(QStringLiteral("1"));
}

void ResponsePlotPanel::ShowResponse(std::span<const double, kResponsePoints> overall, int32_t systemClock, int cicDec,
                                     int firDec) {
    channel_.reset();
    std::copy(overall.begin(), overall.end(), response_.OverallResponse.begin());
    axes_ = {systemClock, cicDec, firDec};
    model_.InputsChanged();
    Refresh();
}

void ResponsePlotPanel::SetChannel(const ResponseChannel& channel, const PlotAxes& axes) {
    channel_ = channel;
    axes_ = axes;
    model_.InputsChanged();
    Refresh();
}

void ResponsePlotPanel::SetAxes(const PlotAxes& axes) {
    if (axes == axes_) return;
    axes_ = axes;
    model_.Need(PlotNeed::Draw);
}

void ResponsePlotPanel::Refresh() {
    model_.Refresh(
        [this] {
            // A ready response stays as it was given.
            if (channel_) ComputeChannelResponse(*channel_, state_.XStretch, response_);
        },
        [this](bool) { Draw(); });
}

void ResponsePlotPanel::DrawResponsePlot() {
    model_.Need(PlotNeed::Draw);
    Refresh();
}

void ResponsePlotPanel::Draw() {
    const PlotInputs in{response_.OverallResponse, axes_.systemClock, axes_.cicDec, axes_.firDec};
    const PlotFrame f = ComputePlotFrame(in, state_);
    SetLabels(f);
    // Only the cursor differs from the picture shown: only the cursor is painted again.
    const bool sameCurves = shown_ && f.hasCurve == shownFrame_.hasCurve && f.curveY == shownFrame_.curveY &&
                            f.markerColumn == shownFrame_.markerColumn;
    shownFrame_ = f;
    shown_ = true;
    if (sameCurves)
        area_->SetCursor(f.cursorColumn, f.cursorLineY);
    else
        area_->SetPicture(PictureOfFrame(f));
}

void ResponsePlotPanel::ScheduleRedraw() { redrawTimer_.start(); }

PlotExportSource ResponsePlotPanel::ExportSource() {
    PlotExportSource s;
    frame_->FillExportPicture(s);
    s.curves = [this] { return MainPlotCurves(response_.OverallResponse, axes_.systemClock, state_.XStretch); };
    s.title = QStringLiteral("АЧХ канала");
    export_.FillSource(s);
    return s;
}

void ResponsePlotPanel::Apply(PlotAction action) {
    if (action == PlotAction::None) return;
    model_.Need(action == PlotAction::Recompute ? PlotNeed::Calc : PlotNeed::Draw);
    Refresh();
}

void ResponsePlotPanel::SetLabels(const PlotFrame& f) {
    const PlotLabels& l = f.labels;
    frame_->SetFractions(l.denominators, l.mhzTicks);
    // The top is the curve's maximum at every zoom.
    const auto& db = l.dbTicks;
    const std::array<std::string, 7> levels{"0", db[0], db[1], db[2], db[3], db[4], db[5]};
    frame_->SetLevels(levels);
    frame_->SetAxisTitle(l.axisTitle);
    xStretchBox_->setText(Text(l.xStretch));
    yStretchBox_->setText(Text(l.yStretch));
    freqReadout_->setText(Text(f.freqReadout));
    levelReadout_->setText(Text(f.levelReadout));
}

}  // namespace gc
