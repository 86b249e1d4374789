#include "gui/plots/length_panels.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/widgets/labels.h"

namespace gc {

namespace {

constexpr int kPanelHeight = 345;

void MakeYellowPanel(QFrame* f) {
    f->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    f->setAutoFillBackground(true);
    QFont small = f->font();
    small.setPointSize(8);
    f->setFont(small);
    QPalette p = f->palette();
    p.setColor(QPalette::Window, p.color(QPalette::ToolTipBase));
    p.setColor(QPalette::WindowText, p.color(QPalette::ToolTipText));
    f->setPalette(p);
}

QColor ColourOf(PanelTextColour c) { return c == PanelTextColour::Red ? QColor(Qt::red) : QColor(Qt::black); }

// At least the designed size, wider where the toolkit's font needs it.
void FitPanel(QFrame* f, int width) {
    const QSize content = f->layout()->totalMinimumSize();
    f->setFixedSize(std::max(width, content.width()), std::max(kPanelHeight, content.height()));
}

}  // namespace

AllowedLengthPanel::AllowedLengthPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("allowedLengthPanel"));
    MakeYellowPanel(this);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(5, 4, 5, 4);
    v->setSpacing(1);
    auto* decimations = new QGridLayout;
    decimations->setSpacing(1);
    decimations->addWidget(MakeLabel(this, QStringLiteral("Децимация CIC = ")), 0, 0);
    cicDec_ = MakeLabel(this, QString(), QStringLiteral("cicDecValue"));
    decimations->addWidget(cicDec_, 0, 1);
    decimations->addWidget(MakeLabel(this, QStringLiteral("Децимация PFIR = ")), 1, 0);
    firDec_ = MakeLabel(this, QString(), QStringLiteral("firDecValue"));
    decimations->addWidget(firDec_, 1, 1);
    decimations->setColumnStretch(2, 1);
    v->addLayout(decimations);
    v->addWidget(BoldLabel(this, QStringLiteral("Возможно использование ")), 0, Qt::AlignHCenter);
    v->addWidget(BoldLabel(this, QStringLiteral("фильтров следующей длины")), 0, Qt::AlignHCenter);
    v->addSpacing(4);

    auto* table = new QGridLayout;
    table->setHorizontalSpacing(6);
    table->setVerticalSpacing(0);
    table->addWidget(MakeLabel(this, QStringLiteral("Несимметричные")), 0, 0);
    table->addWidget(MakeLabel(this, QStringLiteral("Симметричные ")), 0, 1, 1, 2, Qt::AlignHCenter);
    // The two symmetric columns differ only by the parity of the length: say which is which.
    table->addWidget(MakeLabel(this, QStringLiteral("нечётн."), QStringLiteral("oddHeading")), 1, 1, Qt::AlignRight);
    table->addWidget(MakeLabel(this, QStringLiteral("чётн."), QStringLiteral("evenHeading")), 1, 2, Qt::AlignRight);
    constexpr int kFirstRow = 2;
    for (int r = 0; r < kAllowedLengthRows; ++r) {
        for (int c = 0; c < 3; ++c) {
            QLabel* l = MakeLabel(this, QString(), QStringLiteral("allowed%1_%2").arg(r).arg(c));
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            rows_[static_cast<size_t>(r)][static_cast<size_t>(c)] = l;
            table->addWidget(l, r + kFirstRow, c);
        }
    }
    v->addLayout(table);
    v->addStretch(1);
    // Rows are empty until the first analysis: leave room for three-digit lengths.
    for (auto& row : rows_)
        for (QLabel* l : row) l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("0000")));
    FitPanel(this, 187);
    setToolTip(QStringLiteral(
        "Длины фильтра, которые микросхема выполняет при этих децимациях.\n"
        "Несимметричный фильтр: L, кратная шагу 16 × децимация PFIR.\n"
        "Симметричный фильтр хранит половину коэффициентов: нечётная длина 2L − 1 или чётная 2L.\n"
        "Наибольшую L ограничивают децимация CIC и предел 128 (Full rate) или 256 (SplitIQ, Double rate)."));
}

void AllowedLengthPanel::Show(const FilterLengthAnalysis& a) {
    cicDec_->setText(Text(a.cicDecText));
    firDec_->setText(Text(a.firDecText));
    for (size_t r = 0; r < rows_.size(); ++r)
        for (size_t c = 0; c < 3; ++c) rows_[r][c]->setText(Text(a.rows[r][c]));
}

UsedFilterPanel::UsedFilterPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("usedFilterPanel"));
    MakeYellowPanel(this);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(5, 16, 5, 4);
    v->setSpacing(2);
    v->addWidget(BoldLabel(this, QStringLiteral("Используется  ")), 0, Qt::AlignHCenter);
    kind_ = BoldLabel(this, QString(), QStringLiteral("filterKind"));
    v->addWidget(kind_, 0, Qt::AlignHCenter);
    auto* lengthRow = new QHBoxLayout;
    lengthRow->addStretch(1);
    lengthRow->addWidget(BoldLabel(this, QStringLiteral("длиной")));
    length_ = BoldLabel(this, QString(), QStringLiteral("filterLength"));
    lengthRow->addWidget(length_);
    lengthRow->addStretch(1);
    v->addLayout(lengthRow);
    v->addSpacing(40);

    line1_ = BoldLabel(this, QString(), QStringLiteral("warning1"));
    line2_ = BoldLabel(this, QString(), QStringLiteral("warning2"));
    line3_ = BoldLabel(this, QString(), QStringLiteral("warning3"));
    v->addWidget(line1_);
    v->addWidget(line2_);
    v->addSpacing(12);
    v->addWidget(line3_);
    auto* line4 = new QHBoxLayout;
    line4->setSpacing(0);
    line4Phrase_ = BoldLabel(this, QString(), QStringLiteral("warning4Phrase"));
    line4Number_ = BoldLabel(this, QString(), QStringLiteral("warning4Number"));
    line4End_ = BoldLabel(this, QString(), QStringLiteral("warning4End"));
    line4->addSpacing(24);
    line4->addWidget(line4Phrase_);
    line4->addSpacing(6);
    line4->addWidget(line4Number_);
    line4->addSpacing(6);
    line4->addWidget(line4End_);
    line4->addStretch(1);
    v->addLayout(line4);
    v->addStretch(1);
    // Lines 3 and 4 are always red.
    for (QLabel* l : {line3_, line4Phrase_, line4Number_, line4End_}) SetColour(l, Qt::red);
    // The lines are empty until the first analysis: leave room for the longest texts.
    kind_->setMinimumWidth(kind_->fontMetrics().horizontalAdvance(QStringLiteral("несимметричный фильтр")));
    for (QLabel* l : {line1_, line2_, line3_})
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("фильтра большей длины !")));
    FitPanel(this, 173);
    // Why "дополнен 0 до длины 127" while 255 is listed: the zeros only fill
    // the filter out to the next length the chip runs, they add no selectivity.
    setToolTip(
        QStringLiteral("Загруженный фильтр приводится к длине, которую выполняет микросхема.\n"
                       "Длиннее наибольшей допустимой длины: лишние коэффициенты отбрасываются с обоих концов.\n"
                       "Короче: нули добавляются с обоих концов до ближайшей допустимой длины\n"
                       "того же вида (несимметричный, симметричный нечётной или чётной длины), а не до наибольшей.\n"
                       "Более длинные допустимые длины дают лучший фильтр, только если рассчитать его на эту длину\n"
                       "(кнопка «Расчёт» главного окна) или взять другой файл коэффициентов."));
}

void UsedFilterPanel::Show(const FilterLengthAnalysis& a) {
    kind_->setText(Text(a.kind));
    length_->setText(Text(a.length));
    line1_->setText(Text(a.line1));
    line2_->setText(Text(a.line2));
    SetColour(line1_, ColourOf(a.line1Colour));
    SetColour(line2_, ColourOf(a.line2Colour));
    line3_->setText(Text(a.line3));
    line4Phrase_->setText(Text(a.line4Phrase));
    line4Number_->setText(Text(a.line4Number));
    line4End_->setText(Text(a.line4End));
}

}  // namespace gc
