#include "gui/chain_window.h"

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

#include "core/number_format.h"
#include "filters/pfir_design.h"
#include "gui/labels.h"

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

}  // namespace

// --- ChainPlot ---------------------------------------------------------------

ChainPlot::ChainPlot(QWidget* parent) : LayeredPlotArea(parent) {
    setObjectName(QStringLiteral("chainPlot"));
    setMinimumSize(360, 240);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMouseTracking(false);
    band_ = new QRubberBand(QRubberBand::Rectangle, this);
    Render();
}

QRect ChainPlot::Area() const {
    return QRect(kLeft, kTop, std::max(1, width() - kLeft - kRight), std::max(1, height() - kTop - kBottom));
}

int ChainPlot::WantedPoints() const {
    const int columns = static_cast<int>(std::lround(Area().width() * devicePixelRatioF()));
    return std::clamp(columns + 1, kChainMinPoints, kChainMaxPoints);
}

void ChainPlot::SetCurves(const ChainAnalysis* a, const ChainLevels* l) {
    const bool bandChanged = !a_ || !a || a_->outputRateHz != a->outputRateHz;
    a_ = a;
    l_ = l;
    if (bandChanged && a_) view_ = FullChainView(*a_);
    Render();
}

void ChainPlot::SetPassHz(double hz) {
    passHz_ = hz;
    Render();
}

void ChainPlot::ResetView() {
    if (a_) view_ = FullChainView(*a_);
    Render();
}

double ChainPlot::HzAt(double x) const { return ChainViewHz(view_, x - Area().left(), Area().width()); }
double ChainPlot::DbAt(double y) const { return ChainViewDb(view_, y - Area().top(), Area().height()); }

void ChainPlot::SetCursor(double x) {
    if (!a_) return;
    const double end = a_->outputRateHz / 2.0;
    cursorHz_ = std::clamp(HzAt(x), 0.0, end);
    RenderCursor();
    emit cursorMoved();
}

void ChainPlot::PaintUnderCursor(QPainter& p, bool vector) const {
    ++paints_;
    const QRect area = Area();
    p.fillRect(rect(), palette().window());
    p.fillRect(area, Qt::white);
    if (!a_ || !l_ || a_->freqHz.empty()) return;
    const int w = area.width(), h = area.height();
    auto xOf = [&](double hz) { return area.left() + ChainViewX(view_, hz, w); };
    auto yOf = [&](double db) { return area.top() + ChainViewY(view_, db, h); };

    // Grid and captions.
    const QFontMetrics fm = p.fontMetrics();
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    const std::vector<double> fTicks = ChainTicks(view_.f0, view_.f1, std::max(2, w / 90));
    const double fStep = fTicks.size() > 1 ? fTicks[1] - fTicks[0] : view_.f1 - view_.f0;
    for (double f : fTicks) p.drawLine(QPointF(xOf(f), area.top()), QPointF(xOf(f), area.bottom()));
    const std::vector<double> dbTicks = ChainTicks(view_.dbBottom, view_.dbTop, std::max(2, h / 40));
    for (double d : dbTicks) p.drawLine(QPointF(area.left(), yOf(d)), QPointF(area.right(), yOf(d)));
    p.setPen(Qt::black);
    for (double f : fTicks) {
        const QString t = Text(ChainFrequencyTick(f, fStep));
        p.drawText(QPointF(xOf(f) - fm.horizontalAdvance(t) / 2.0, area.bottom() + fm.ascent() + 3), t);
    }
    for (double d : dbTicks) {
        const QString t = QString::number(d, 'g', 6);
        p.drawText(QPointF(area.left() - fm.horizontalAdvance(t) - 4, yOf(d) + fm.ascent() / 2.0 - 1), t);
    }
    const QString unit = QStringLiteral("кГц");
    p.drawText(QPointF(area.right() - fm.horizontalAdvance(unit), height() - 3), unit);
    p.drawText(QPointF(2, area.top() + fm.ascent()), QStringLiteral("dB"));

    // Curves: one point per grid point, through the visible part only.
    p.save();
    p.setClipRect(area);
    const double step = a_->freqHz.size() > 1 ? a_->freqHz[1] - a_->freqHz[0] : 1.0;
    const long n = static_cast<long>(a_->freqHz.size());
    const long first = std::clamp(static_cast<long>(std::floor(view_.f0 / step)) - 1, 0L, n - 1);
    const long last = std::clamp(static_cast<long>(std::ceil(view_.f1 / step)) + 1, 0L, n - 1);
    const double floorDb = view_.dbBottom - 2 * (view_.dbTop - view_.dbBottom);
    const struct {
        const std::vector<double>* levels;
        QColor colour;
    } curves[] = {// Where the strongest image is a CIC image, the CIC's colour shows on top.
                  {&l_->imageDb, kImageColour},
                  {&l_->cicImageDb, kCicImageColour},
                  {&l_->wantedDb, kWantedColour}};
    for (const auto& c : curves) {
        QPolygonF line;
        line.reserve(static_cast<int>(last - first + 1));
        for (long i = first; i <= last; ++i) {
            const double db = std::max((*c.levels)[static_cast<size_t>(i)], floorDb);
            line.append(QPointF(xOf(a_->freqHz[static_cast<size_t>(i)]), yOf(db)));
        }
        p.setPen(QPen(c.colour, 1));
        // A vector file has no clipping of its own: its curves stop at the area's edge.
        if (vector)
            DrawCurvePath(p, line.toPolygon(), QRectF(area));
        else
            p.drawPolyline(line);
    }
    // The passband edge, dragged with the left button.
    p.setPen(QPen(kPassColour, 1, Qt::DashLine));
    p.drawLine(QPointF(xOf(passHz_), area.top()), QPointF(xOf(passHz_), area.bottom()));
    p.restore();
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(area.adjusted(0, 0, -1, -1));
}

void ChainPlot::PaintCursorLayer(QPainter& p) const {
    if (!cursorHz_ || !a_ || a_->freqHz.empty()) return;
    // Inside the frame: the frame's own lines stay as they are.
    const QRect area = Area();
    const double x = area.left() + ChainViewX(view_, *cursorHz_, area.width());
    p.save();
    p.setClipRect(area.adjusted(1, 1, -1, -1));
    p.setPen(QPen(CursorColor(), 1));
    p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    p.restore();
}

void ChainPlot::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Render();
    if (Area().width() != lastWidth_) {
        lastWidth_ = Area().width();
        emit widthChanged();
    }
}

void ChainPlot::mousePressEvent(QMouseEvent* e) {
    const QPointF pos = e->position();
    if (e->button() == Qt::RightButton) {
        drag_ = Drag::Cursor;
        SetCursor(pos.x());
    } else if (e->button() == Qt::LeftButton) {
        const double passX = Area().left() + ChainViewX(view_, passHz_, Area().width());
        if (std::abs(pos.x() - passX) <= kGrab) {
            drag_ = Drag::Pass;
        } else {
            drag_ = Drag::Band;
            bandStart_ = pos.toPoint();
            band_->setGeometry(QRect(bandStart_, QSize()));
            band_->show();
        }
    }
    e->accept();
}

void ChainPlot::mouseMoveEvent(QMouseEvent* e) {
    const QPointF pos = e->position();
    switch (drag_) {
        case Drag::Cursor:
            SetCursor(pos.x());
            break;
        case Drag::Pass:
            if (a_) emit passDragged(std::clamp(HzAt(pos.x()), a_->outputRateHz * 1e-4, a_->outputRateHz / 2.0));
            break;
        case Drag::Band:
            band_->setGeometry(QRect(bandStart_, pos.toPoint()).normalized());
            break;
        case Drag::None:
            break;
    }
}

void ChainPlot::mouseReleaseEvent(QMouseEvent* e) {
    if (drag_ == Drag::Band) {
        band_->hide();
        const QPointF end = e->position();
        if (auto v = ChainViewOfBand(view_, HzAt(bandStart_.x()), HzAt(end.x()), DbAt(bandStart_.y()), DbAt(end.y()))) {
            view_ = *v;
            Render();
        }
    }
    drag_ = Drag::None;
}

void ChainPlot::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) ResetView();
}

void ChainPlot::wheelEvent(QWheelEvent* e) {
    if (!a_) return;
    const double notches = e->angleDelta().y() / 120.0;
    if (notches == 0) return;
    view_ = ZoomChainView(view_, *a_, HzAt(e->position().x()), std::pow(kWheelStep, notches));
    Render();
    e->accept();
}

// --- ChainWindow ---------------------------------------------------------------

ChainWindow::ChainWindow(QWidget* parent) : SeparatePlotWindow(QStringLiteral("Анализ тракта"), parent) {
    setObjectName(QStringLiteral("ChainWindow"));

    plot_ = new ChainPlot(this);
    auto* side = new QVBoxLayout;

    side->addWidget(ChannelLabel());
    auto* legend = new QLabel(this);
    legend->setText(
        QStringLiteral("<span style='color:black'>&#9473; полезный сигнал W</span><br>"
                       "<span style='color:red'>&#9473; сильнейшее наложение</span><br>"
                       "<span style='color:#0000c8'>&#9473; сильнейшее наложение CIC</span><br>"
                       "<span style='color:#008c00'>&#9476; граница полосы</span>"));
    side->addWidget(legend);

    auto* passRow = new QHBoxLayout;
    passRow->addWidget(new QLabel(QStringLiteral("Граница полосы, кГц"), this));
    passEdit_ = new QLineEdit(this);
    passEdit_->setObjectName(QStringLiteral("passEdit"));
    passEdit_->setFixedWidth(100);
    passRow->addWidget(passEdit_);
    side->addLayout(passRow);
    connect(passEdit_, &QLineEdit::editingFinished, this, &ChainWindow::OnPassEdited);

    auto* figures = new QFormLayout;
    const std::vector<std::pair<std::string, std::string>> lines = ChainFigureLines(ChainAnalysis{});
    for (size_t k = 0; k < lines.size(); ++k) {
        auto* value = new QLabel(this);
        value->setObjectName(QStringLiteral("figure%1").arg(k));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        figures->addRow(Text(lines[k].first), value);
        figureValues_.push_back(value);
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
    connect(full, &QPushButton::clicked, plot_, &ChainPlot::ResetView);
    buttons->addWidget(full);
    buttons->addWidget(MakeExportButton());
    side->addLayout(buttons);
    auto* hint = new QLabel(QStringLiteral("Колесо мыши и рамка левой кнопкой: масштаб;\n"
                                           "двойной щелчок: весь диапазон; правая кнопка: курсор;\n"
                                           "зелёную границу полосы можно перетащить."),
                            this);
    hint->setWordWrap(true);
    side->addWidget(hint);

    auto* top = new QHBoxLayout(this);
    top->setContentsMargins(4, 4, 4, 4);
    top->addWidget(plot_, 1);
    top->addLayout(side);
    resize(900, 480);

    connect(plot_, &ChainPlot::cursorMoved, this, &ChainWindow::ShowCursor);
    connect(plot_, &ChainPlot::widthChanged, this, [this] {
        if (IsOpen()) RecomputeCurves();
    });
    connect(plot_, &ChainPlot::passDragged, this, [this](double hz) {
        passHz_ = hz;
        RecomputeFigures();
    });
}

ChainWindow::~ChainWindow() {
    // The children outlive this part of the window: a focus or size change
    // while they go must not reach it.
    disconnect(passEdit_, nullptr, this, nullptr);
    disconnect(plot_, nullptr, this, nullptr);
}

ChainRequest ChainWindow::Request(int points) const {
    ChainRequest r;
    r.points = points;
    const double fout = ChainOutputRateHz(channel_);
    // A chosen edge beyond the band of a new rate falls back to the default.
    r.passHz = passHz_ > 0 && passHz_ <= fout / 2.0 ? passHz_ : 0.0;
    return r;
}

void ChainWindow::SetChannel(int channel, const ChainChannel& ch) {
    SetChannelShown(channel);
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
            curves_ = AnalyseChain(channel_, Request(plot_->WantedPoints()));
            levels_ = ChainLevelsDb(curves_);
        },
        [this](bool) {
            plot_->SetCurves(&curves_, &levels_);
            ShowCursor();
        });
}

void ChainWindow::RecomputeFigures() {
    figuresModel_.InputsChanged();
    figuresModel_.Refresh([this] { figures_ = AnalyseChain(channel_, Request(kChainDefaultPoints)); },
                          [this](bool) {
                              plot_->SetPassHz(figures_.passHz);
                              ShowFigures();
                          });
}

void ChainWindow::ShowFigures() {
    const auto lines = ChainFigureLines(figures_);
    for (size_t k = 0; k < lines.size() && k < figureValues_.size(); ++k)
        figureValues_[k]->setText(Text(lines[k].second));
    if (!passEdit_->hasFocus()) passEdit_->setText(Text(FormatFixed(figures_.passHz / 1000.0, 12, 3)));
}

void ChainWindow::ShowCursor() {
    const std::optional<double> hz = plot_->CursorHz();
    const ChainCursorText c = hz ? ChainCursorAt(curves_, levels_, *hz) : ChainCursorText{};
    const std::string texts[5] = {c.freq, c.wanted, c.image, c.cicImage, c.source};
    for (size_t k = 0; k < cursorValues_.size(); ++k) cursorValues_[k]->setText(Text(texts[k]));
}

void ChainWindow::OnPassEdited() {
    const auto v = ParseDesignNumber(passEdit_->text().toStdString());
    const double fout = figures_.outputRateHz;
    if (v && *v > 0 && *v * 1000.0 <= fout / 2.0) passHz_ = *v * 1000.0;
    RecomputeFigures();
    passEdit_->setText(Text(FormatFixed(figures_.passHz / 1000.0, 12, 3)));
}

PlotExportSource ChainWindow::ExportSource() {
    PlotExportSource s;
    s.picture = plot_;
    s.vectorSize = plot_->size();
    s.paintVector = [this](QPainter& p) { plot_->PaintPlot(p, true); };
    // The numbers at the batch tool's points, whatever the plot's width.
    s.csvText = [this] { return FormatChainCsv(figures_); };
    FillExportCaption(s);
    return s;
}

void ChainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (IsOpen()) RecomputeCurves();
}

}  // namespace gc
