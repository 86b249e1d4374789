#include "gui/plots/chain_window.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRubberBand>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <utility>

#include "core/number_format.h"
#include "filters/chain_request_view.h"
#include "filters/pfir_design.h"
#include "gui/widgets/labels.h"

namespace gc {

namespace {

// Room for the axis captions around the area.
constexpr int kLeft = 48, kTop = 8, kRight = 12, kBottom = 34;
// A press this close to the passband edge grabs it.
constexpr int kGrab = 4;
constexpr double kWheelStep = 0.8;  // span factor per notch

const QColor kWantedColour = Qt::black;
const QColor kImageColour = Qt::red;
const QColor kCicImageColour = QColor(0, 0, 200);
const QColor kPassColour = QColor(0, 140, 0);
const QColor kStopColour = QColor(200, 110, 0);
const QColor kAttenColour = QColor(160, 0, 160);
// The other configuration's curves, under this one's.
const QColor kOtherWantedColour = QColor(150, 150, 150);
const QColor kOtherImageColour = QColor(255, 160, 120);
// The request's boxes, in ChainWindow::requestEdits_ order.
enum RequestBox { kPassBox, kStopBox, kRippleBox, kAttenBox };

}  // namespace

// --- The plot ------------------------------------------------------------------

QRect ChainWindow::PlotArea() const {
    return QRect(kLeft, kTop, std::max(1, plot_->width() - kLeft - kRight),
                 std::max(1, plot_->height() - kTop - kBottom));
}

int ChainWindow::WantedPoints() const {
    const int columns = static_cast<int>(std::lround(PlotArea().width() * plot_->devicePixelRatioF()));
    return std::clamp(columns + 1, kChainMinPoints, kChainMaxPoints);
}

void ChainWindow::ResetView() {
    if (haveCurves_) view_ = FullChainView(curves_);
    DrawPlot();
}

double ChainWindow::HzAt(double x) const { return ChainViewHz(view_, x - PlotArea().left(), PlotArea().width()); }
double ChainWindow::DbAt(double y) const { return ChainViewDb(view_, y - PlotArea().top(), PlotArea().height()); }

void ChainWindow::PlaceCursor(double x) {
    if (!haveCurves_) return;
    cursorHz_ = std::clamp(HzAt(x), 0.0, curves_.outputRateHz / 2.0);
    plot_->SetFramedCursor(PlotArea().left() + ChainViewX(view_, *cursorHz_, PlotArea().width()));
    ShowCursor();
}

void ChainWindow::DrawPlot() {
    PlotFraming f;
    const QRect area = PlotArea();
    f.area = area;
    const ChainAnalysis* a = haveCurves_ ? &curves_ : nullptr;
    if (a && !a->freqHz.empty()) {
        const int w = area.width(), h = area.height();
        auto xOf = [&](double hz) { return area.left() + ChainViewX(view_, hz, w); };
        auto yOf = [&](double db) { return area.top() + ChainViewY(view_, db, h); };

        // Grid and captions.
        const QFontMetrics fm = plot_->fontMetrics();
        const std::vector<double> fTicks = ChainTicks(view_.f0, view_.f1, std::max(2, w / 90));
        const double fStep = fTicks.size() > 1 ? fTicks[1] - fTicks[0] : view_.f1 - view_.f0;
        const std::vector<double> dbTicks = ChainTicks(view_.dbBottom, view_.dbTop, std::max(2, h / 40));
        for (double x : fTicks) f.gridX.push_back(xOf(x));
        for (double d : dbTicks) f.gridY.push_back(yOf(d));
        for (double x : fTicks) {
            const QString t = Text(ChainFrequencyTick(x, fStep));
            f.texts.push_back({QPointF(xOf(x) - fm.horizontalAdvance(t) / 2.0, area.bottom() + fm.ascent() + 3), t});
        }
        for (double d : dbTicks) {
            const QString t = QString::number(d, 'g', 6);
            f.texts.push_back({QPointF(area.left() - fm.horizontalAdvance(t) - 4, yOf(d) + fm.ascent() / 2.0 - 1), t});
        }
        const QString unit = QStringLiteral("кГц");
        f.texts.push_back({QPointF(area.right() - fm.horizontalAdvance(unit), plot_->height() - 3), unit});
        f.texts.push_back({QPointF(2, area.top() + fm.ascent()), QStringLiteral("dB")});

        // Curves: one point per grid point, through the visible part only.
        const double step = a->freqHz.size() > 1 ? a->freqHz[1] - a->freqHz[0] : 1.0;
        const long n = static_cast<long>(a->freqHz.size());
        const long first = std::clamp(static_cast<long>(std::floor(view_.f0 / step)) - 1, 0L, n - 1);
        const long last = std::clamp(static_cast<long>(std::ceil(view_.f1 / step)) + 1, 0L, n - 1);
        const double floorDb = view_.dbBottom - 2 * (view_.dbTop - view_.dbBottom);
        const struct {
            const std::vector<double>* levels;
            QColor colour;
        } curves[] = {// Where the strongest image is a CIC image, the CIC's colour shows on top.
                      {&levels_.imageDb, kImageColour},
                      {&levels_.cicImageDb, kCicImageColour},
                      {&levels_.wantedDb, kWantedColour}};
        if (overlayCurves_ && !overlayCurves_->freqHz.empty()) {
            const ChainAnalysis& o = *overlayCurves_;
            for (const auto& [levels, colour] : {std::pair{&overlayLevels_.imageDb, kOtherImageColour},
                                                 std::pair{&overlayLevels_.wantedDb, kOtherWantedColour}}) {
                QPolygonF line;
                for (size_t i = 0; i < o.freqHz.size(); ++i)
                    if (o.freqHz[i] >= view_.f0 && o.freqHz[i] <= view_.f1)
                        line.append(QPointF(xOf(o.freqHz[i]), yOf(std::max((*levels)[i], floorDb))));
                f.curves.push_back({colour, line});
            }
        }
        for (const auto& c : curves) {
            QPolygonF line;
            line.reserve(static_cast<int>(last - first + 1));
            for (long i = first; i <= last; ++i) {
                const double db = std::max((*c.levels)[static_cast<size_t>(i)], floorDb);
                line.append(QPointF(xOf(a->freqHz[static_cast<size_t>(i)]), yOf(db)));
            }
            f.curves.push_back({c.colour, line});
        }
        // The request: -A under the passband (for the images) and over the
        // stopband, and both edges, dragged with the left button.
        const ChainRequest r = ResolveChainRequest(channel_, Current());
        const double half = a->outputRateHz / 2.0;
        const double attenY = yOf(-r.attenDb);
        f.curves.push_back({kAttenColour, QPolygonF{{xOf(0), attenY}, {xOf(std::min(r.passHz, half)), attenY}}});
        if (r.stopHz < half)
            f.curves.push_back({kAttenColour, QPolygonF{{xOf(r.stopHz), attenY}, {xOf(half), attenY}}});
        f.edges.push_back({xOf(figures_.passHz), kPassColour, Qt::DashLine});
        if (r.stopHz < half) f.edges.push_back({xOf(r.stopHz), kStopColour, Qt::DashLine});
        if (cursorHz_) f.cursorX = xOf(*cursorHz_);
    }
    PlotPicture pic;
    pic.framing = std::move(f);
    plot_->SetPicture(std::move(pic));
}

void ChainWindow::OnLeftPressed(QPoint at) {
    const double passX = PlotArea().left() + ChainViewX(view_, figures_.passHz, PlotArea().width());
    const ChainRequest r = ResolveChainRequest(channel_, Current());
    const double stopX = PlotArea().left() + ChainViewX(view_, r.stopHz, PlotArea().width());
    if (std::abs(at.x() - passX) <= kGrab) {
        drag_ = Drag::Pass;
    } else if (haveCurves_ && r.stopHz < curves_.outputRateHz / 2.0 && std::abs(at.x() - stopX) <= kGrab) {
        drag_ = Drag::Stop;
    } else {
        drag_ = Drag::Band;
        bandStart_ = at;
        band_->setGeometry(QRect(bandStart_, QSize()));
        band_->show();
    }
}

void ChainWindow::OnMoved(QPoint at) {
    switch (drag_) {
        case Drag::Cursor:
            PlaceCursor(at.x());
            break;
        case Drag::Pass:
        case Drag::Stop:
            if (haveCurves_) {
                // The edges keep their order: P below S, both inside the band.
                const double fout = curves_.outputRateHz, tiny = fout * 1e-4;
                const ChainRequest r = ResolveChainRequest(channel_, Current());
                ChainRequest next = Current();
                if (drag_ == Drag::Pass)
                    next.passHz = std::clamp(HzAt(at.x()), tiny, std::min(fout / 2.0, r.stopHz - tiny));
                else
                    next.stopHz = std::clamp(HzAt(at.x()), r.passHz + tiny, fout / 2.0);
                dragged_ = next;
                RecomputeFigures();
                ShowRequestBoxes();
            }
            break;
        case Drag::Band:
            band_->setGeometry(QRect(bandStart_, at).normalized());
            break;
        case Drag::None:
            break;
    }
}

void ChainWindow::OnLeftReleased(QPoint at) {
    if (drag_ == Drag::Band) {
        band_->hide();
        if (auto v = ChainViewOfBand(view_, HzAt(bandStart_.x()), HzAt(at.x()), DbAt(bandStart_.y()), DbAt(at.y()))) {
            view_ = *v;
            DrawPlot();
        }
    }
    drag_ = Drag::None;
    // A drag is one edit of the request, made when the edge is let go.
    if (dragged_) {
        stored_ = *std::exchange(dragged_, std::nullopt);
        emit requestEdited(channelIndex_, stored_);
    }
}

void ChainWindow::OnWheel(QPoint at, double notches) {
    if (!haveCurves_) return;
    view_ = ZoomChainView(view_, curves_, HzAt(at.x()), std::pow(kWheelStep, notches));
    DrawPlot();
}

// --- ChainWindow ---------------------------------------------------------------

ChainWindow::ChainWindow(QWidget* parent) : SeparatePlotWindow(QStringLiteral("Анализ тракта"), parent) {
    setObjectName(QStringLiteral("ChainWindow"));

    plot_ = new PlotView(this);
    plot_->setObjectName(QStringLiteral("chainPlot"));
    plot_->setMinimumSize(360, 240);
    plot_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    band_ = new QRubberBand(QRubberBand::Rectangle, plot_);
    auto* side = new QVBoxLayout;

    side->addWidget(ChannelLabel());
    auto* legend = new QLabel(this);
    legend->setText(
        QStringLiteral("<span style='color:black'>&#9473; полезный сигнал W</span><br>"
                       "<span style='color:red'>&#9473; сильнейшее наложение</span><br>"
                       "<span style='color:#0000c8'>&#9473; сильнейшее наложение CIC</span><br>"
                       "<span style='color:#008c00'>&#9476; граница полосы P</span><br>"
                       "<span style='color:#c86e00'>&#9476; граница задерживания S</span><br>"
                       "<span style='color:#a000a0'>&#9473; требуемое подавление &minus;A</span>"));
    side->addWidget(legend);
    overlayLegend_ = new QLabel(this);
    overlayLegend_->setObjectName(QStringLiteral("overlayLegend"));
    overlayLegend_->setWordWrap(true);
    overlayLegend_->hide();
    side->addWidget(overlayLegend_);

    // The channel's request: what the figures below are judged against.
    auto* request = new QFormLayout;
    static const char* const kBoxes[4][2] = {{"Граница полосы P, кГц", "passEdit"},
                                             {"Граница задерживания S, кГц", "stopEdit"},
                                             {"Неравномерность, дБ", "rippleEdit"},
                                             {"Подавление A, дБ", "attenEdit"}};
    for (size_t k = 0; k < requestEdits_.size(); ++k) {
        requestEdits_[k] = new QLineEdit(this);
        requestEdits_[k]->setObjectName(QString::fromUtf8(kBoxes[k][1]));
        requestEdits_[k]->setFixedWidth(100);
        request->addRow(QString::fromUtf8(kBoxes[k][0]), requestEdits_[k]);
        connect(requestEdits_[k], &QLineEdit::editingFinished, this, &ChainWindow::OnBoxEdited);
    }
    side->addLayout(request);

    auto* judged = new QFormLayout;
    for (size_t k = 0; k < JudgeChainFigures(ChainFigures{}, ChainRequest{}).size(); ++k) {
        auto* value = new QLabel(this);
        value->setObjectName(QStringLiteral("judged%1").arg(k));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        judged->addRow(Text(JudgeChainFigures(ChainFigures{}, ChainRequest{})[k].caption), value);
        judgedValues_.push_back(value);
    }
    side->addLayout(judged);

    auto* figures = new QFormLayout;
    const std::vector<std::pair<std::string, std::string>> lines = ChainFigureLines(ChainAnalysis{});
    for (size_t k = 0; k < lines.size(); ++k) {
        auto* value = new QLabel(this);
        value->setObjectName(QStringLiteral("figure%1").arg(k));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        figures->addRow(Text(lines[k].first), value);
        figureValues_.push_back(value);
        // The judged figures stand above with their margins.
        if (IsJudgedChainFigure(lines[k].first)) figures->setRowVisible(static_cast<int>(k), false);
    }
    side->addLayout(figures);

    auto* cursorBox = new QFormLayout;
    static const char* const kCursor[5] = {"Курсор", "W", "Наложение", "Наложение CIC", "Источник наложения"};
    for (size_t k = 0; k < cursorValues_.size(); ++k) {
        cursorValues_[k] = new QLabel(this);
        cursorValues_[k]->setObjectName(QStringLiteral("cursor%1").arg(k));
        SetColour(cursorValues_[k], Qt::blue);
        cursorBox->addRow(QString::fromUtf8(kCursor[k]), cursorValues_[k]);
    }
    side->addSpacing(8);
    side->addLayout(cursorBox);
    side->addStretch(1);

    auto* buttons = new QHBoxLayout;
    auto* full = new QPushButton(QStringLiteral("Весь диапазон"), this);
    full->setObjectName(QStringLiteral("fullView"));
    connect(full, &QPushButton::clicked, this, &ChainWindow::ResetView);
    buttons->addWidget(full);
    buttons->addWidget(MakeExportButton());
    side->addLayout(buttons);
    auto* hint = new QLabel(QStringLiteral("Колесо мыши и рамка левой кнопкой: масштаб;\n"
                                           "двойной щелчок: весь диапазон; правая кнопка: курсор;\n"
                                           "границы P и S можно перетащить."),
                            this);
    hint->setWordWrap(true);
    side->addWidget(hint);

    auto* top = new QHBoxLayout(this);
    top->setContentsMargins(4, 4, 4, 4);
    top->addWidget(plot_, 1);
    top->addLayout(side);
    resize(1000, 640);

    connect(plot_, &PlotView::rightPressed, this, [this](QPoint at) {
        drag_ = Drag::Cursor;
        PlaceCursor(at.x());
    });
    connect(plot_, &PlotView::rightReleased, this, [this] { drag_ = Drag::None; });
    connect(plot_, &PlotView::leftPressed, this, &ChainWindow::OnLeftPressed);
    connect(plot_, &PlotView::moved, this, &ChainWindow::OnMoved);
    connect(plot_, &PlotView::leftReleased, this, &ChainWindow::OnLeftReleased);
    connect(plot_, &PlotView::leftDoubleClicked, this, &ChainWindow::ResetView);
    connect(plot_, &PlotView::wheelTurned, this, &ChainWindow::OnWheel);
    connect(plot_, &PlotView::resized, this, [this] {
        // New curves for a new width; the same ones drawn anew for a new height.
        if (PlotArea().width() != lastWidth_) {
            lastWidth_ = PlotArea().width();
            if (IsOpen()) return RecomputeCurves();
        }
        DrawPlot();
    });
}

ChainWindow::~ChainWindow() {
    // The children outlive this part of the window: a focus or size change
    // while they go must not reach it.
    for (QLineEdit* e : requestEdits_) disconnect(e, nullptr, this, nullptr);
    disconnect(plot_, nullptr, this, nullptr);
}

ChainRequest ChainWindow::Request(int points) const {
    ChainRequest r = Current();
    r.points = points;
    const double fout = ChainOutputRateHz(channel_);
    // An edge beyond the band of a new rate falls back to the default.
    if (!(r.passHz > 0 && r.passHz <= fout / 2.0)) r.passHz = 0.0;
    return r;
}

void ChainWindow::SetRequest(const ChainRequest& stored) {
    if (SameChainRequest(stored, stored_)) return;
    stored_ = stored;
    figuresModel_.InputsChanged();
    if (IsOpen()) RecomputeFigures();
}

void ChainWindow::SetOverlay(const std::optional<OtherChannels>& channels, const QString& name) {
    overlay_ = channels;
    overlayName_ = name;
    overlayLegend_->setVisible(channels.has_value());
    overlayLegend_->setText(QStringLiteral("<span style='color:#969696'>&#9473; W</span>, "
                                           "<span style='color:#ffa078'>&#9473; наложение</span>: %1")
                                .arg(name.toHtmlEscaped()));
    curvesModel_.InputsChanged();
    if (IsOpen()) RecomputeCurves();
}

void ChainWindow::SetChannel(int channel, const DdcChannel& ch) {
    SetChannelShown(channel);
    if (channel != channelIndex_ && overlay_) curvesModel_.InputsChanged();
    channelIndex_ = channel;
    if (ch == channel_) return;
    channel_ = ch;
    curvesModel_.InputsChanged();
    figuresModel_.InputsChanged();
}

void ChainWindow::Recompute() {
    RecomputeCurves();
    RecomputeFigures();
}

void ChainWindow::RecomputeCurves() {
    curvesModel_.InputsChanged();
    curvesModel_.Refresh(
        [this] {
            const double shownRate = haveCurves_ ? curves_.outputRateHz : -1;
            curves_ = AnalyseChain(channel_, Request(WantedPoints()));
            levels_ = ChainLevelsDb(curves_);
            overlayCurves_.reset();
            if (overlay_) {
                ChainRequest r = Request(WantedPoints());
                r.passHz = 0;  // the other channel's own band: only its curves are drawn
                overlayCurves_ = AnalyseChain((*overlay_)[static_cast<size_t>(std::clamp(channelIndex_, 0, 3))], r);
                overlayLevels_ = ChainLevelsDb(*overlayCurves_);
            }
            haveCurves_ = true;
            // A new output band is shown whole.
            if (curves_.outputRateHz != shownRate) view_ = FullChainView(curves_);
        },
        [this](bool) {
            DrawPlot();
            ShowCursor();
        });
}

void ChainWindow::RecomputeFigures() {
    figuresModel_.InputsChanged();
    figuresModel_.Refresh([this] { figures_ = AnalyseChain(channel_, Request(kChainDefaultPoints)); },
                          [this](bool) {
                              DrawPlot();
                              ShowFigures();
                          });
}

void ChainWindow::ShowFigures() {
    const auto lines = ChainFigureLines(figures_);
    for (size_t k = 0; k < lines.size() && k < figureValues_.size(); ++k)
        figureValues_[k]->setText(Text(lines[k].second));
    const ChainRequest r = ResolveChainRequest(channel_, Current());
    const auto judged = JudgeChainFigures(figures_.figures, r);
    for (size_t k = 0; k < judged.size() && k < judgedValues_.size(); ++k) {
        const JudgedChainFigure& j = judged[k];
        judgedValues_[k]->setText(Text(j.value + "\n" + j.margin));
        SetColour(judgedValues_[k], j.state == JudgedChainFigure::State::Met      ? kPassColour
                                    : j.state == JudgedChainFigure::State::Missed ? QColor(Qt::red)
                                                                                  : QColor(Qt::darkGray));
    }
    ShowRequestBoxes();
}

void ChainWindow::ShowRequestBoxes() {
    const ChainRequest r = ResolveChainRequest(channel_, Current());
    const QString texts[4] = {Text(FormatFixed(figures_.passHz / 1000.0, 12, 3)),
                              Text(FormatFixed(r.stopHz / 1000.0, 12, 3)), QString::number(r.rippleDb, 'g', 6),
                              QString::number(r.attenDb, 'g', 6)};
    // Also the box with the focus: leaving it later must not put back what it showed before.
    for (size_t k = 0; k < requestEdits_.size(); ++k)
        if (requestEdits_[k]->text() != texts[k]) requestEdits_[k]->setText(texts[k]);
}

void ChainWindow::ShowCursor() {
    const std::optional<double> hz = cursorHz_;
    const ChainCursorText c = hz ? ChainCursorAt(curves_, levels_, *hz) : ChainCursorText{};
    const std::string texts[5] = {c.freq, c.wanted, c.image, c.cicImage, c.source};
    for (size_t k = 0; k < cursorValues_.size(); ++k) cursorValues_[k]->setText(Text(texts[k]));
}

void ChainWindow::OnBoxEdited() {
    // Leaving a box without typing in it changes nothing.
    if (std::none_of(requestEdits_.begin(), requestEdits_.end(), [](QLineEdit* e) { return e->isModified(); })) return;
    const double fout = ChainOutputRateHz(channel_);
    const ChainRequest shown = ResolveChainRequest(channel_, Current());
    ChainRequest next = Current();
    QString refused;
    for (size_t k = 0; k < requestEdits_.size(); ++k) {
        QLineEdit* e = requestEdits_[k];
        if (!e->isModified()) continue;
        e->setModified(false);
        const auto v = ParseDesignNumber(e->text().toStdString());
        const double hz = v ? *v * 1000.0 : 0;
        switch (k) {
            case kPassBox:
                if (v && hz > 0 && hz <= fout / 2.0)
                    next.passHz = hz;
                else
                    refused = QStringLiteral("граница полосы должна быть больше 0 и не больше %1 кГц")
                                  .arg(Text(FormatFixed(fout / 2000.0, 12, 3)));
                break;
            case kStopBox:
                if (v && hz > (next.passHz > 0 ? next.passHz : shown.passHz))
                    next.stopHz = hz;
                else
                    refused = QStringLiteral("граница задерживания должна быть выше границы полосы");
                break;
            case kRippleBox:
                if (v && *v > 0)
                    next.rippleDb = *v;
                else
                    refused = QStringLiteral("неравномерность должна быть больше 0 дБ");
                break;
            case kAttenBox:
                if (v && *v > 0 && *v <= kMaxDesignAttenDb)
                    next.attenDb = *v;
                else
                    refused =
                        QStringLiteral("подавление должно быть больше 0 и не больше %1 дБ").arg(kMaxDesignAttenDb);
                break;
        }
    }
    if (!refused.isEmpty()) {
        emit statusMessage(QStringLiteral("Анализ тракта: требование не изменено: ") + refused);
        ShowRequestBoxes();
        return;
    }
    // A passband edge moved past a stored stopband edge takes the default one.
    if (next.stopHz > 0 && next.stopHz <= next.passHz) next.stopHz = 0;
    stored_ = next;
    RecomputeFigures();
    emit requestEdited(channelIndex_, stored_);
}

QStringList ChainWindow::ExportNotes() const {
    QStringList notes;
    notes << QStringLiteral(
        "W — полезный сигнал (чёрный), сильнейшее наложение (красный), наложение CIC (синий), "
        "P и S — границы (пунктир), −A — требуемое подавление");
    if (overlay_) notes << QStringLiteral("Серым и светло-оранжевым: W и наложение из %1").arg(overlayName_);
    notes << Text(ChainRequestText(ResolveChainRequest(channel_, Current())));
    QStringList figures;
    for (const JudgedChainFigure& j : JudgeChainFigures(figures_.figures, ResolveChainRequest(channel_, Current())))
        figures << Text(j.caption + " " + j.value + " (" + j.margin + ")");
    notes << figures.join(QStringLiteral("; "));
    return notes;
}

PlotExportSource ChainWindow::ExportSource() {
    PlotExportSource s;
    s.picture = plot_;
    s.vectorSize = plot_->size();
    s.paintVector = [this](QPainter& p) { plot_->PaintLayers(p, true); };
    // The numbers at the batch tool's points, whatever the plot's width.
    s.csvText = [this] { return FormatChainCsv(figures_); };
    s.notes = [this] { return ExportNotes(); };
    FillExportCaption(s);
    return s;
}

void ChainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (IsOpen()) RecomputeCurves();
}

}  // namespace gc
