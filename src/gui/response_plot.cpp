#include "gui/response_plot.h"

#include "gui/readout_width.h"

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
#include "gui/labels.h"

namespace gc {

namespace {

// Where the area sits in the lowered panel, and the panel's size.
constexpr int kAreaLeft = 52;
constexpr int kAreaTop = 32;
constexpr int kFrameWidth = 325;
constexpr int kFrameHeight = 313;

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

int ColumnAt(const QMouseEvent* e) { return static_cast<int>(std::floor(e->position().x())); }

}  // namespace

// --- ResponsePlotArea -------------------------------------------------------

ResponsePlotArea::ResponsePlotArea(QWidget* parent) : LayeredPlotArea(kPlotWidth, kPlotHeight, parent) {
    setFocusPolicy(Qt::ClickFocus);
    Render();
}

void ResponsePlotArea::SetFrame(const PlotFrame& frame) {
    frame_ = frame;
    Render();
    update();
}

// Layers in order: background, grid, curve, marker, cursor.
void ResponsePlotArea::PaintLayers(QPainter& p, bool vector) const {
    PaintBackground(p);
    if (frame_.hasCurve) {
        QPolygon curve(ResponsePoints);
        for (int i = 0; i < ResponsePoints; ++i)
            curve.setPoint(i, ColumnOfPoint(i), frame_.curveY[static_cast<size_t>(i)]);
        p.setPen(QPen(Qt::black, 1, Qt::SolidLine));
        // A vector file has no clipping of its own: its curve stops at the area's edge.
        if (vector)
            DrawCurvePath(p, curve, QRectF(0, 0, kPlotWidth, kPlotHeight));
        else
            p.drawPolyline(curve);
    }
    PaintMarker(p, frame_.markerColumn);
    PaintCursor(p, frame_.cursorColumn, frame_.cursorLineY);
}

void ResponsePlotArea::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) emit rightPressed(ColumnAt(e));
    e->accept();
}

void ResponsePlotArea::mouseMoveEvent(QMouseEvent* e) {
    emit dragged(ColumnAt(e));
    e->accept();
}

void ResponsePlotArea::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) emit rightReleased();
    e->accept();
}

// --- ResponsePlotFrame ------------------------------------------------------

ResponsePlotFrame::ResponsePlotFrame(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFixedSize(kFrameWidth, kFrameHeight);
}

void ResponsePlotFrame::mousePressEvent(QMouseEvent* e) {
    // Accepted so that the release comes here too.
    e->accept();
}

void ResponsePlotFrame::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton && rect().contains(e->position().toPoint())) emit rightClicked();
    e->accept();
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

    frame_ = new ResponsePlotFrame(this);
    frame_->setObjectName(QStringLiteral("plotPanel"));
    area_ = new ResponsePlotArea(frame_);
    area_->setObjectName(QStringLiteral("plotArea"));
    area_->move(kAreaLeft, kAreaTop);

    MakeLabel(frame_, QStringLiteral("dB"))->move(11, 3);
    axisTitle_ = MakeLabel(frame_, QStringLiteral("F/Fsamp"), QStringLiteral("axisTitle"));
    MakeLabel(frame_, QStringLiteral("MHz"))->move(159, 290);
    static const char* const kNumerators[4] = {"1/", "1/", "3/", "1/"};
    static const char* const kDenominators[4] = {"8", "4", "8", "2"};
    static const char* const kMhz[4] = {"12.5", "25.0", "37.5", "50.0"};
    static const char* const kDb[6] = {"-20", "-40", "-60", "-80", "-100", "-120"};
    for (size_t k = 0; k < 4; ++k) {
        numerators_[k] = MakeLabel(frame_, QLatin1String(kNumerators[k]));
        denominators_[k] = MakeLabel(frame_, QLatin1String(kDenominators[k]));
        denominators_[k]->setObjectName(QStringLiteral("denominator%1").arg(k));
        mhzTicks_[k] = MakeLabel(frame_, QLatin1String(kMhz[k]));
        mhzTicks_[k]->setObjectName(QStringLiteral("mhzTick%1").arg(k));
    }
    for (size_t k = 0; k < 6; ++k) {
        dbTicks_[k] = MakeLabel(frame_, QLatin1String(kDb[k]));
        dbTicks_[k]->setObjectName(QStringLiteral("dbTick%1").arg(k));
    }
    // The fixed zero of both axes.
    QLabel* level0 = MakeLabel(frame_, QStringLiteral("0"));
    level0->adjustSize();
    level0->move(kAreaLeft - 4 - level0->width(), kAreaTop - level0->height() / 2);
    QLabel* freq0 = MakeLabel(frame_, QStringLiteral("0"));
    freq0->adjustSize();
    freq0->move(kAreaLeft - freq0->width() / 2, kAreaTop + kPlotHeight + 2);
    PlaceAxisLabels();

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
    // Beside the zoom rows, where the space under the X caption is free.
    rows->addWidget(
        MakePlotExportButton(
            this, [this] { return ExportSource(); }, [this] { return chooser_ ? chooser_ : &dialogChooser_; },
            [this](const QString& text) { emit statusMessage(text); }),
        1, 2, Qt::AlignRight);

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

    connect(area_, &ResponsePlotArea::rightPressed, this, [this](int x) { Apply(CursorRightPress(state_, x)); });
    connect(area_, &ResponsePlotArea::dragged, this, [this](int x) { Apply(CursorDrag(state_, x)); });
    connect(area_, &ResponsePlotArea::rightReleased, this, [this] { CursorRightRelease(state_); });
    connect(frame_, &ResponsePlotFrame::rightClicked, this, [this] { Apply(CursorRemove(state_)); });

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

void ResponsePlotPanel::ShowResponse(std::span<const double, ResponsePoints> overall, int32_t systemClock, int cicDec,
                                     int firDec) {
    std::copy(overall.begin(), overall.end(), overall_.begin());
    session_ = nullptr;
    systemClock_ = systemClock;
    cicDec_ = cicDec;
    firDec_ = firDec;
    DrawResponsePlot();
}

void ResponsePlotPanel::ShowResponse(std::span<const double, ResponsePoints> overall, const Session& m) {
    session_ = &m;
    std::copy(overall.begin(), overall.end(), overall_.begin());
    DrawResponsePlot();
}

void ResponsePlotPanel::TakeChannelValues(const Session& m) {
    const size_t ch = static_cast<size_t>(std::clamp(m.CurrentChannel, 0, kChannels - 1));
    systemClock_ = m.settings.SystemClock;
    cicDec_ = m.workImage.cic_dec[ch];
    firDec_ = m.workImage.fir_dec[ch];
}

void ResponsePlotPanel::DrawResponsePlot() {
    if (session_) TakeChannelValues(*session_);
    PlotInputs in{overall_, systemClock_, cicDec_, firDec_};
    const PlotFrame f = ComputePlotFrame(in, state_);
    ++drawCount_;
    SetLabels(f);
    area_->SetFrame(f);
}

void ResponsePlotPanel::ScheduleRedraw() { redrawTimer_.start(); }

PlotExportSource ResponsePlotPanel::ExportSource() {
    PlotExportSource s;
    s.picture = frame_;
    s.vectorSize = frame_->size();
    s.paintVector = [this](QPainter& p) { PaintFrameVector(p, *frame_, *area_); };
    s.curves = [this] { return MainPlotCurves(overall_, systemClock_, state_.XStretch); };
    s.title = QStringLiteral("АЧХ канала");
    s.folder = exportFolder_;
    return s;
}

void ResponsePlotPanel::Apply(PlotAction action) {
    switch (action) {
        case PlotAction::None:
            break;
        case PlotAction::Redraw:
            DrawResponsePlot();
            break;
        case PlotAction::Recompute: {
            // The owner recomputes and hands the response back, which draws; without
            // an owner the labels and boxes still follow the new zoom.
            const int drawsBefore = drawCount_;
            emit xStretchChanged(state_.XStretch);
            if (drawCount_ == drawsBefore) DrawResponsePlot();
            break;
        }
    }
}

void ResponsePlotPanel::SetLabels(const PlotFrame& f) {
    const PlotLabels& l = f.labels;
    for (size_t k = 0; k < 4; ++k) {
        denominators_[k]->setText(Text(l.denominators[k]));
        mhzTicks_[k]->setText(Text(l.mhzTicks[k]));
    }
    for (size_t k = 0; k < 6; ++k) dbTicks_[k]->setText(Text(l.dbTicks[k]));
    xStretchBox_->setText(Text(l.xStretch));
    yStretchBox_->setText(Text(l.yStretch));
    axisTitle_->setText(Text(l.axisTitle));
    freqReadout_->setText(Text(f.freqReadout));
    levelReadout_->setText(Text(f.levelReadout));
    PlaceAxisLabels();
}

// Tick labels sit on the grid lines they name, whatever the width of their text.
void ResponsePlotPanel::PlaceAxisLabels() {
    const int columns[4] = {kGridColumnStep, 2 * kGridColumnStep, 3 * kGridColumnStep, ResponsePoints};
    for (size_t k = 0; k < 4; ++k) {
        QLabel* num = numerators_[k];
        QLabel* den = denominators_[k];
        QLabel* mhz = mhzTicks_[k];
        num->adjustSize();
        den->adjustSize();
        mhz->adjustSize();
        const int x = kAreaLeft + columns[k];
        const int fractionLeft =
            std::min(x - (num->width() + den->width()) / 2, kFrameWidth - 2 - num->width() - den->width());
        num->move(fractionLeft, 15);
        den->move(fractionLeft + num->width(), 15);
        mhz->move(std::min(x - mhz->width() / 2, kFrameWidth - 2 - mhz->width()), kAreaTop + kPlotHeight + 2);
    }
    for (size_t k = 0; k < 6; ++k) {
        QLabel* t = dbTicks_[k];
        t->adjustSize();
        const int y = kAreaTop + kGridRowStep * static_cast<int>(k + 1) - t->height() / 2;
        t->move(kAreaLeft - 4 - t->width(), std::min(y, kFrameHeight - 2 - t->height()));
    }
    axisTitle_->adjustSize();
    axisTitle_->move(141, 1);
}

}  // namespace gc
