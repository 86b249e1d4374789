#include "gui/plots/axis_frame.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "filters/plot_scale.h"
#include "gui/widgets/labels.h"

namespace gc {

AxisFrame::AxisFrame(const AxisFrameStyle& style, PlotView* area, QWidget* parent)
    : QFrame(parent), style_(style), area_(area) {
    const AxisFrameStyle& g = style_;
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFixedSize(g.frameWidth, g.frameHeight);
    if (!area_) area_ = new PlotView(g.areaWidth, kPlotHeight);
    area_->setParent(this);
    area_->setObjectName(QStringLiteral("plotArea"));
    area_->move(g.areaLeft, g.areaTop);

    dbUnit_ = Label(QStringLiteral("dB"), QStringLiteral("dbUnit"));
    dbUnit_->move(11, g.dbUnitY);
    axisTitle_ = Label(QStringLiteral("F/Fsamp"), QStringLiteral("axisTitle"));
    freqUnit_ = Label(QStringLiteral("MHz"), QStringLiteral("freqUnit"));
    if (g.captionColour.isValid()) {
        SetColour(axisTitle_, g.captionColour);
        SetColour(freqUnit_, g.captionColour);
    }
    static const char* const kLevels[7] = {"0", "-20", "-40", "-60", "-80", "-100", "-120"};
    for (size_t k = 0; k < levels_.size(); ++k) {
        const int number = static_cast<int>(k) - g.firstNamedLevel;
        levels_[k] = Label(QLatin1String(kLevels[k]),
                           number >= 0 ? QLatin1String(g.levelName) + QString::number(number) : QString());
    }
    static const char* const kNumerators[4] = {"1/", "1/", "3/", "1/"};
    static const char* const kDenominators[4] = {"8", "4", "8", "2"};
    static const char* const kTicks[4] = {"12.5", "25.0", "37.5", "50.0"};
    for (size_t k = 0; k < 4; ++k) {
        numerators_[k] = Label(QLatin1String(kNumerators[k]));
        denominators_[k] = Label(QLatin1String(kDenominators[k]), QStringLiteral("denominator%1").arg(k));
        ticks_[k] = Label(QLatin1String(kTicks[k]), QLatin1String(g.tickName) + QString::number(k));
    }
    // The fixed zero of the frequency axis.
    QLabel* freq0 = Label(QStringLiteral("0"));
    freq0->adjustSize();
    freq0->move(g.areaLeft - freq0->width() / 2, g.areaTop + kPlotHeight + 2);
    PlaceLabels();
}

QLabel* AxisFrame::Label(const QString& text, const QString& name) {
    return MakeLabel(this, text, name, style_.bold ? LabelWeight::Bold : LabelWeight::Normal);
}

void AxisFrame::SetFractions(const std::array<std::string, 4>& denominators, const std::array<std::string, 4>& ticks) {
    for (size_t k = 0; k < 4; ++k) {
        denominators_[k]->setText(Text(denominators[k]));
        ticks_[k]->setText(Text(ticks[k]));
    }
    PlaceLabels();
}

void AxisFrame::SetLevels(const std::array<std::string, 7>& levels) {
    for (size_t k = 0; k < levels_.size(); ++k) levels_[k]->setText(Text(levels[k]));
    PlaceLabels();
}

void AxisFrame::SetAxisTitle(const std::string& text) {
    axisTitle_->setText(Text(text));
    PlaceLabels();
}

void AxisFrame::ShowFrequencyLabels(bool shown) {
    for (QLabel* l : {dbUnit_, freqUnit_, axisTitle_}) l->setVisible(shown);
    for (QLabel* l : numerators_) l->setVisible(shown);
}

void AxisFrame::FillExportPicture(PlotExportSource& s) {
    s.picture = this;
    s.vectorSize = size();
    s.paintVector = [this](QPainter& p) { PaintFrameVector(p, *this, *area_); };
}

void AxisFrame::mousePressEvent(QMouseEvent* e) {
    // Accepted so that the release comes here too.
    e->accept();
}

void AxisFrame::mouseReleaseEvent(QMouseEvent* e) {
    emit released(e->button(), rect().contains(e->position().toPoint()));
    e->accept();
}

// Tick labels sit on the grid lines and rows they name, whatever the width of their text.
void AxisFrame::PlaceLabels() {
    const AxisFrameStyle& g = style_;
    const int columns[4] = {kGridColumnStep, 2 * kGridColumnStep, 3 * kGridColumnStep, kResponsePoints};
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
        num->move(fractionLeft, g.fractionY.value_or(g.areaTop - num->height() - 1));
        den->move(fractionLeft + num->width(), g.fractionY.value_or(g.areaTop - den->height() - 1));
        tick->move(std::min(x - tick->width() / 2, g.frameWidth - 2 - tick->width()), g.areaTop + kPlotHeight + 2);
    }
    for (size_t k = 0; k < levels_.size(); ++k) {
        QLabel* l = levels_[k];
        l->adjustSize();
        const int y = g.areaTop + kGridRowStep * static_cast<int>(k) - l->height() / 2;
        l->move(std::max(1, g.areaLeft - g.levelGap - l->width()), std::min(y, g.frameHeight - 2 - l->height()));
    }
    axisTitle_->adjustSize();
    axisTitle_->move(g.titleAt.value_or(QPoint(g.areaLeft + (g.areaWidth - axisTitle_->width()) / 2, 1)));
    if (g.unitAt) {
        freqUnit_->move(*g.unitAt);
    } else {
        freqUnit_->adjustSize();
        freqUnit_->move(g.areaLeft + (g.areaWidth - freqUnit_->width()) / 2,
                        std::min(g.areaTop + kPlotHeight + 18, g.frameHeight - 2 - freqUnit_->height()));
    }
}

}  // namespace gc
