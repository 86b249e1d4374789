#include "gui/plots/response_window.h"

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
#include "gui/widgets/labels.h"
#include "gui/widgets/readout_width.h"

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

AxisFrameStyle WindowFrameStyle(int frameWidth, int areaLeft, int areaWidth) {
    constexpr int kAreaTop = 32;
    AxisFrameStyle s{};
    s.frameWidth = frameWidth;
    s.frameHeight = 313;
    s.areaLeft = areaLeft;
    s.areaTop = kAreaTop;
    s.areaWidth = areaWidth;
    s.bold = true;
    s.captionColour = QColor(128, 0, 0);
    s.levelGap = 3;
    s.dbUnitY = std::max(2, kAreaTop - 26);
    s.tickName = "tick";
    s.levelName = "level";
    s.firstNamedLevel = 0;
    return s;
}

ResponseWindow::ResponseWindow(const QString& title, const AxisFrameStyle& style, int firstDrawMs, QWidget* parent)
    : SeparatePlotWindow(title, parent) {
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

    frame_ = new AxisFrame(style, nullptr, this);
    frame_->setObjectName(QStringLiteral("plotPanel"));
    // Any button released beside the plot area removes the cursor.
    connect(frame_, &AxisFrame::released, this, [this] { RemoveCursor(); });
    BuildBottomRow();

    column_ = new QVBoxLayout;
    column_->setSpacing(3);
    column_->addLayout(topRow_);
    column_->addWidget(frame_);
    column_->addLayout(bottomRow_);
    // Under the zoom row, at its end: the row itself is full, and a wider
    // window would move the plot away from its read-outs.
    auto* exportRow = new QHBoxLayout;
    exportRow->addWidget(ChannelLabel());
    exportRow->addStretch(1);
    exportRow->addWidget(MakeExportButton());
    column_->addLayout(exportRow);
    column_->addStretch(1);

    firstDraw_.setSingleShot(true);
    firstDraw_.setInterval(firstDrawMs);
    connect(&firstDraw_, &QTimer::timeout, this, [this] { Redraw(); });
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
    // Set by the zoom buttons only: it must not look like a box to type in.
    stretchBox_->setStyleSheet(
        QStringLiteral("QLabel { background-color: palette(window); color: blue; font-weight: bold; "
                       "border: 1px solid palette(mid); }"));
    stretchBox_->setToolTip(QStringLiteral("Растяжение по X: кнопки справа"));
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
        // A button that changes nothing does not redraw.
        connect(zoomButtons_[k], &QPushButton::clicked, this, [this, step] {
            if ((this->*step)()) Update();
        });
    }
    bottomRow_->addStretch(1);

    // The cursor only redraws: the curves stay as they were computed.
    auto cursorChanged = [this](bool changed) {
        if (changed) Update();
    };
    PlotView* area = Area();
    connect(left, &QPushButton::clicked, this, [this, cursorChanged] { cursorChanged(CursorLeft(Cursor())); });
    connect(right, &QPushButton::clicked, this, [this, cursorChanged] { cursorChanged(CursorRight(Cursor())); });
    connect(area, &PlotView::rightPressed, this,
            [this, cursorChanged](QPoint at) { cursorChanged(CursorPress(Cursor(), at.x(), at.y())); });
    connect(area, &PlotView::moved, this,
            [this, cursorChanged](QPoint at) { cursorChanged(CursorMove(Cursor(), at.x(), at.y())); });
    connect(area, &PlotView::rightReleased, this, [this] { CursorRelease(Cursor()); });
}

PlotExportSource ResponseWindow::ExportSource() {
    PlotExportSource s;
    frame_->FillExportPicture(s);
    FillExportCaption(s);
    SetExportNumbers(s);
    return s;
}

void ResponseWindow::Redraw() {
    model_.InputsChanged();
    Update();
}

void ResponseWindow::Update() {
    model_.ViewChanged(CurvesFit());
    model_.Refresh([this] { Calc(); }, [this](bool recomputed) { Draw(recomputed); });
}

void ResponseWindow::RemoveCursor() {
    if (CursorRemove(Cursor())) Update();
}

void ResponseWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The first curve is drawn once the window itself has been painted.
    firstDraw_.start();
}

void ResponseWindow::Closed() {
    // Zoom, view and cursor stay for the next opening.
    firstDraw_.stop();
}

void ResponseWindow::mousePressEvent(QMouseEvent* event) {
    // Taken so that the release comes here: the plot panel beside the area and
    // the window's background.
    event->accept();
}

void ResponseWindow::mouseReleaseEvent(QMouseEvent* event) {
    // Any button released beside the plot area removes the cursor.
    RemoveCursor();
    event->accept();
}

void ResponseWindow::SetStretchText(const std::string& text) { stretchBox_->setText(Text(text)); }

void ResponseWindow::SetReadouts(const std::string& x, const std::string& level) {
    xReadout_->setText(Text(x));
    levelReadout_->setText(Text(level));
}

void ResponseWindow::ShowFrequencyControls(bool shown) {
    frame_->ShowFrequencyLabels(shown);
    for (QWidget* w : {static_cast<QWidget*>(xUnit_), static_cast<QWidget*>(levelUnit_),
                       static_cast<QWidget*>(stretchLabel_), static_cast<QWidget*>(stretchBox_)})
        w->setVisible(shown);
    for (QPushButton* b : zoomButtons_) b->setVisible(shown);
}

}  // namespace gc
