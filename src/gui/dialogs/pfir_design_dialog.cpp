#include "gui/dialogs/pfir_design_dialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

#include "filters/chain_request_view.h"
#include "filters/pfir_window.h"
#include "gui/plots/response_plot.h"
#include "gui/widgets/number_text.h"
#include "session/command_status.h"
#include "session/commands.h"

namespace gc {

namespace {

namespace fs = std::filesystem;

constexpr int kPass = 0, kStop = 1, kRipple = 2, kAtten = 3;
constexpr const char* kFieldTitles[4] = {"Граница полосы пропускания", "Граница полосы задерживания",
                                         "Неравномерность в полосе пропускания", "Подавление в полосе задерживания"};
constexpr const char* kFieldUnits[4] = {"кГц", "кГц", "дБ", "дБ"};
constexpr const char* kFieldNames[4] = {"passEdit", "stopEdit", "rippleEdit", "attenEdit"};
constexpr const char* kModeNames[3] = {"Full rate", "SplitIQ", "Double rate"};
// After the last keystroke: long enough not to design on every one.
constexpr int kDesignDelayMs = 150;
constexpr int kSplitColumns = 8;

int FieldIndex(PfirDesignField f) {
    switch (f) {
        case PfirDesignField::Pass:
            return kPass;
        case PfirDesignField::Stop:
            return kStop;
        case PfirDesignField::Ripple:
            return kRipple;
        case PfirDesignField::Atten:
            break;
    }
    return kAtten;
}

QString Khz(double hz) { return FixedQ(hz / 1000.0, 12, 3); }

// A figure in the result column; +inf when nothing folds onto the passband.
QString DbText(double db) {
    return std::isfinite(db) ? FixedQ(db, 12, 3) + QStringLiteral(" дБ") : QStringLiteral("нет наложений");
}

// Why a field is refused, beside it.
QString RequestErrorText(const PfirRequestError& e) {
    switch (e.cause) {
        case PfirRequestCause::NotANumber:
            return QStringLiteral("«%1» не является числом").arg(QString::fromStdString(e.text));
        case PfirRequestCause::PassNotAboveZero:
            return QStringLiteral("Граница полосы пропускания должна быть больше 0");
        case PfirRequestCause::StopNotAbovePass:
            return QStringLiteral("Граница полосы задерживания должна быть выше границы полосы пропускания");
        case PfirRequestCause::StopAboveHalfInput:
            return QStringLiteral(
                       "Граница полосы задерживания должна быть не выше половины входной частоты PFIR (%1 кГц)")
                .arg(Khz(e.bound));
        case PfirRequestCause::RippleNotAboveZero:
            return QStringLiteral("Неравномерность в полосе пропускания должна быть больше 0 дБ");
        case PfirRequestCause::AttenOutOfRange:
            return QStringLiteral("Подавление в полосе задерживания должно быть больше 0 и не больше %1 дБ")
                .arg(FixedQ(e.bound, 6, 0));
        case PfirRequestCause::NoDesign:
            break;
    }
    return QStringLiteral("Фильтр с такими границами рассчитать не удалось");
}

QString NameRefusalText(const TapsNameRefusal& r) {
    if (r.cause == TapsNameRefusal::Cause::Empty) return QStringLiteral("Имя файла пусто: перед «.taps» нужно имя");
    return QStringLiteral("Имя файла длиннее %1 байт (%2)").arg(kMaxTapsNameBytes).arg(r.bytes);
}

QString Bound(double db) { return QString::number(db, 'g', 6); }

QString Taps(int n) { return QString::fromStdString(CountText(n, "коэффициент", "коэффициента", "коэффициентов")); }

// One figure that misses the request, with the bound it misses.
QString ShortfallText(const PfirShortfall& f) {
    const QString value = FixedQ(f.value, 12, 1);
    switch (f.figure) {
        case PfirFigure::Ripple:
            return QStringLiteral("Неравномерность %1 дБ > %2 дБ").arg(value, Bound(f.required));
        case PfirFigure::StopbandAtten:
            return QStringLiteral("Подавление %1 дБ < %2 дБ").arg(value, Bound(f.required));
        case PfirFigure::TransitionPeak:
            return QStringLiteral("Выброс в переходной полосе %1 дБ > %2 дБ").arg(value, Bound(f.required));
        case PfirFigure::AliasRejection:
            break;
    }
    return QStringLiteral("Подавление наложений %1 дБ < %2 дБ").arg(value, Bound(f.required)) +
           (f.cicLimited ? QStringLiteral(": ограничено CIC") : QString());
}

QLabel* ValueLabel(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setMinimumWidth(90);
    return l;
}

// A met row's attenuation to spare, an unmet row's worst shortfall: what ranks it.
double RankMargin(const ChainMargins& m) { return m.met ? m.AttenuationDb() : m.Smallest(); }

bool SameSplitChannel(const DdcChannel& a, const DdcChannel& b) {
    return a.systemClock == b.systemClock && a.modeOfInput == b.modeOfInput && a.TotalDec() == b.TotalDec() &&
           a.cicDecMin == b.cicDecMin && a.cicDecStep == b.cicDecStep;
}

bool SameChannel(const DdcChannel& a, const DdcChannel& b) {
    return a.systemClock == b.systemClock && a.modeOfInput == b.modeOfInput && a.cicDec == b.cicDec &&
           a.firDec == b.firDec;
}

}  // namespace

PfirDesignDialog::PfirDesignDialog(const Session& m, Workspace workspace, UseFile useFile, QWidget* parent)
    : QWidget(parent, Qt::Window), m_(m), workspace_(std::move(workspace)), useFile_(std::move(useFile)) {
    setObjectName("pfirDesignDialog");
    setWindowTitle(QStringLiteral("Расчёт PFIR"));
    BuildLayout();
    designTimer_.setSingleShot(true);
    designTimer_.setInterval(kDesignDelayMs);
    connect(&designTimer_, &QTimer::timeout, this, &PfirDesignDialog::Recompute);
}

PfirDesignDialog::~PfirDesignDialog() {
    StopSearch();
    StopSplits();
}

void PfirDesignDialog::BuildLayout() {
    auto* top = new QVBoxLayout(this);
    channelLine_ = new QLabel(this);
    channelLine_->setObjectName("channelLine");
    top->addWidget(channelLine_);

    auto* request = new QGroupBox(QStringLiteral("Требования"), this);
    auto* grid = new QGridLayout(request);
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(new QLabel(QString::fromUtf8(kFieldTitles[i]), request), i, 0);
        edits_[i] = new QLineEdit(request);
        edits_[i]->setObjectName(QLatin1String(kFieldNames[i]));
        edits_[i]->setFixedWidth(100);
        grid->addWidget(edits_[i], i, 1);
        grid->addWidget(new QLabel(QString::fromUtf8(kFieldUnits[i]), request), i, 2);
        fieldErrors_[i] = new QLabel(request);
        fieldErrors_[i]->setObjectName(QLatin1String(kFieldNames[i]) + QStringLiteral("Error"));
        fieldErrors_[i]->setStyleSheet(QStringLiteral("QLabel { color: red; }"));
        fieldErrors_[i]->setWordWrap(true);
        fieldErrors_[i]->setMinimumWidth(260);
        grid->addWidget(fieldErrors_[i], i, 4);
        connect(edits_[i], &QLineEdit::textEdited, this, [this] {
            typed_ = true;
            OnEdited();
        });
        if (i == kAtten)
            connect(edits_[i], &QLineEdit::textEdited, this, [this] {
                defaultAtten_.Typed();
                defaultNote_->clear();
            });
        connect(edits_[i], &QLineEdit::returnPressed, this, [this] {
            typed_ = true;
            Recompute();
        });
    }
    // The rates the edges are chosen against, beside them.
    outputRate_ = new QLabel(request);
    outputRate_->setObjectName("outputRate");
    grid->addWidget(outputRate_, 0, 3, 2, 1);

    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel(QStringLiteral("Длина"), request));
    oddButton_ = new QRadioButton(QStringLiteral("нечётная"), request);
    oddButton_->setObjectName("oddLength");
    oddButton_->setChecked(true);
    evenButton_ = new QRadioButton(QStringLiteral("чётная"), request);
    evenButton_->setObjectName("evenLength");
    options->addWidget(oddButton_);
    options->addWidget(evenButton_);
    compensateBox_ = new QCheckBox(QStringLiteral("Компенсация CIC"), request);
    compensateBox_->setObjectName("compensateCic");
    compensateBox_->setChecked(true);
    options->addWidget(compensateBox_);
    options->addStretch(1);
    defaultsButton_ = new QPushButton(QStringLiteral("По умолчанию"), request);
    defaultsButton_->setObjectName("defaultsButton");
    defaultsButton_->setAutoDefault(false);
    options->addWidget(defaultsButton_);
    grid->addLayout(options, 4, 0, 1, 5);
    defaultNote_ = new QLabel(request);
    defaultNote_->setObjectName("defaultNote");
    defaultNote_->setWordWrap(true);
    grid->addWidget(defaultNote_, 5, 0, 1, 5);
    top->addWidget(request);
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{oddButton_, evenButton_, compensateBox_})
        connect(b, &QAbstractButton::toggled, this, [this] { Recompute(); });
    connect(defaultsButton_, &QPushButton::clicked, this, &PfirDesignDialog::RestoreDefaults);

    auto* result = new QGroupBox(QStringLiteral("Результат"), this);
    auto* rgrid = new QGridLayout(result);
    const std::pair<const char*, QLabel**> rows[] = {{"Длина фильтра", &lengthValue_},
                                                     {"Неравномерность", &rippleValue_},
                                                     {"Подавление", &attenValue_},
                                                     {"Подавление наложений", &aliasValue_},
                                                     {"Подавление наложений CIC", &cicAliasValue_},
                                                     {"Метод", &methodValue_},
                                                     {"Использовано", &tradeValue_}};
    const char* names[] = {"lengthValue",   "rippleValue", "attenValue", "aliasValue",
                           "cicAliasValue", "methodValue", "tradeValue"};
    constexpr int kRows = static_cast<int>(std::size(names));
    for (int i = 0; i < kRows; ++i) {
        rgrid->addWidget(new QLabel(QString::fromUtf8(rows[i].first), result), i, 0);
        *rows[i].second = ValueLabel(result, names[i]);
        rgrid->addWidget(*rows[i].second, i, 1);
    }
    tradeValue_->setWordWrap(true);  // the longest line: it wraps rather than runs under the preview
    verdict_ = new QLabel(result);
    verdict_->setObjectName("verdict");
    verdict_->setWordWrap(true);
    rgrid->addWidget(verdict_, kRows, 0, 1, 2);
    searchNote_ = new QLabel(result);
    searchNote_->setObjectName("searchNote");
    searchNote_->setWordWrap(true);
    rgrid->addWidget(searchNote_, kRows + 1, 0, 1, 2);

    // The preview in the PFIR window's frame: levels 0 to -120 dB, 0 to half the PFIR input rate.
    auto* plotBox = new QFrame(result);
    plotBox->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* pgrid = new QGridLayout(plotBox);
    auto* caption = new QLabel(QStringLiteral("CIC × PFIR, дБ"), plotBox);
    pgrid->addWidget(caption, 0, 1);
    pgrid->addWidget(new QLabel(QStringLiteral("0"), plotBox), 1, 0, Qt::AlignTop | Qt::AlignRight);
    plot_ = new PlotView(kPlotWidth, kPlotHeight, plotBox);
    plot_->setFocusPolicy(Qt::ClickFocus);
    plot_->setObjectName("designPlot");
    pgrid->addWidget(plot_, 1, 1);
    pgrid->addWidget(new QLabel(QStringLiteral("-120"), plotBox), 1, 0, Qt::AlignBottom | Qt::AlignRight);
    spanLabel_ = new QLabel(plotBox);
    spanLabel_->setObjectName("spanLabel");
    pgrid->addWidget(spanLabel_, 2, 1);
    rgrid->addWidget(plotBox, 0, 2, kRows + 3, 1);
    rgrid->setRowStretch(kRows + 2, 1);
    top->addWidget(result);

    // The splits of the total decimation, each with a design at its split.
    auto* splits = new QGroupBox(QStringLiteral("Разбиение децимации"), this);
    auto* sgrid = new QGridLayout(splits);
    splitsTable_ = new QTableWidget(0, kSplitColumns, splits);
    splitsTable_->setObjectName("splitsTable");
    // Two-line captions, so that the columns share the width and none is cut.
    splitsTable_->setHorizontalHeaderLabels({QStringLiteral("PFIR"), QStringLiteral("CIC"), QStringLiteral("Длина"),
                                             QStringLiteral("Наложения\nCIC, дБ"), QStringLiteral("Наложения,\nдБ"),
                                             QStringLiteral("Неравно-\nмерность, дБ"),
                                             QStringLiteral("Задержи-\nвание, дБ"), QStringLiteral("Запас,\nдБ")});
    splitsTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    splitsTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    splitsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    splitsTable_->verticalHeader()->hide();
    splitsTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Eight rows (a total with every PFIR decimation) without scrolling.
    splitsTable_->setMinimumHeight(splitsTable_->horizontalHeader()->sizeHint().height() +
                                   8 * splitsTable_->verticalHeader()->defaultSectionSize() + 4);
    sgrid->addWidget(splitsTable_, 0, 0, 4, 1);
    splitsButton_ = new QPushButton(QStringLiteral("Рассчитать"), splits);
    splitsButton_->setObjectName("splitsButton");
    splitsButton_->setAutoDefault(false);
    sgrid->addWidget(splitsButton_, 0, 1);
    splitsProgress_ = new QProgressBar(splits);
    splitsProgress_->setObjectName("splitsProgress");
    splitsProgress_->setRange(0, 1);
    splitsProgress_->setValue(0);
    splitsProgress_->setFormat(QStringLiteral("%v из %m"));
    splitsProgress_->setTextVisible(false);
    sgrid->addWidget(splitsProgress_, 1, 1);
    applySplitButton_ = new QPushButton(QStringLiteral("Применить"), splits);
    applySplitButton_->setObjectName("applySplitButton");
    applySplitButton_->setAutoDefault(false);
    applySplitButton_->setEnabled(false);
    sgrid->addWidget(applySplitButton_, 2, 1, Qt::AlignTop);
    pickButton_ = new QPushButton(QStringLiteral("Подобрать"), splits);
    pickButton_->setObjectName("pickButton");
    pickButton_->setAutoDefault(false);
    pickButton_->setToolTip(QStringLiteral("Рассчитать все разбиения по требованиям и применить лучшее"));
    sgrid->addWidget(pickButton_, 3, 1, Qt::AlignTop);
    sgrid->setColumnStretch(0, 1);
    for (QWidget* w : std::initializer_list<QWidget*>{splitsButton_, splitsProgress_, applySplitButton_, pickButton_})
        w->setFixedWidth(140);
    top->addWidget(splits);
    connect(splitsButton_, &QPushButton::clicked, this, &PfirDesignDialog::ComputeSplits);
    connect(applySplitButton_, &QPushButton::clicked, this, &PfirDesignDialog::ApplySelectedSplit);
    connect(pickButton_, &QPushButton::clicked, this, &PfirDesignDialog::PickSplit);
    connect(splitsTable_, &QTableWidget::itemSelectionChanged, this, &PfirDesignDialog::UpdateApplyButton);

    auto* buttons = new QHBoxLayout;
    status_ = new QLabel(this);
    status_->setObjectName("status");
    status_->setWordWrap(true);
    buttons->addWidget(status_, 1);
    saveButton_ = new QPushButton(QStringLiteral("Сохранить"), this);
    saveButton_->setObjectName("saveButton");
    saveButton_->setAutoDefault(false);
    saveButton_->setEnabled(false);
    buttons->addWidget(saveButton_);
    top->addLayout(buttons);
    connect(saveButton_, &QPushButton::clicked, this, &PfirDesignDialog::Save);
}

DdcChannel PfirDesignDialog::ChannelNow() const { return DesignChannelOf(m_, m_.CurrentChannel); }

DesignRequestText PfirDesignDialog::TypedRequest() const {
    DesignRequestText t;
    for (int i = 0; i < 4; ++i) t.fields[static_cast<size_t>(i)] = edits_[i]->text().toStdString();
    t.edgeUnitHz = 1000.0;  // the edges are typed in kHz
    t.evenLength = evenButton_->isChecked();
    t.compensateCic = compensateBox_->isChecked();
    return t;
}

void PfirDesignDialog::Open() {
    Follow();  // before showing, so the window is sized for its texts
    show();
    raise();
    activateWindow();
}

void PfirDesignDialog::Refresh() {
    if (isVisible()) Follow();
}

void PfirDesignDialog::Follow() {
    const DdcChannel ch = ChannelNow();
    const int index = std::clamp(m_.CurrentChannel, 0, kChannels - 1);
    const ChainRequest stored = ChannelChainRequest(m_.settings, index);
    const bool sameChannel = shownChannel_ && SameChannel(*shownChannel_, ch) && shownChannelIndex_ == index;
    if (sameChannel && followedRequest_ && SameChainRequest(*followedRequest_, stored)) return;
    // The status line said what was done for the channel shown before.
    if (!sameChannel) SetStatus(QString(), false);
    shownChannel_ = ch;
    shownChannelIndex_ = index;
    followedRequest_ = stored;
    // Rows stay while the total decimation they split does.
    if (splitChannel_ && !SameSplitChannel(*splitChannel_, DesignSplitChannelOf(m_, index))) ClearSplits();

    const int mode = ch.modeOfInput >= 0 && ch.modeOfInput <= 2 ? ch.modeOfInput : 0;
    channelLine_->setText(QStringLiteral("Канал %1, %2, децимация CIC %3, PFIR %4, файл %5")
                              .arg(QChar('A' + index))
                              .arg(QString::fromUtf8(kModeNames[mode]))
                              .arg(ch.cicDec)
                              .arg(ch.firDec)
                              .arg(QString::fromStdString(m_.settings.NameOfPFIR[static_cast<size_t>(index)])));
    const double fp = PfirInputRateHz(ch);
    outputRate_->setText(QStringLiteral("Выходная частота %1 кГц\nПоловина входной частоты PFIR %2 кГц")
                             .arg(Khz(PfirOutputRateHz(ch)), Khz(fp / 2)));
    spanLabel_->setText(QStringLiteral("0 … %1 МГц").arg(FixedQ(fp / 2 * 1e-6, 5, 3)));

    // The channel's own request when it has one. Otherwise ripple,
    // attenuation and the flags stay as typed and the edges follow the
    // channel; a default attenuation lowered for the last channel starts
    // again from the plain default.
    if (const auto own = StoredDesignRequest(ch, stored, TypedRequest())) {
        defaultAtten_.Typed();
        defaultNote_->clear();
        ShowRequest(*own);
    } else {
        defaultAtten_.NewChannel();
        if (defaultAtten_.IsDefault()) defaultNote_->clear();
        ShowRequest(DefaultDesignRequest(ch, TypedRequest(), !defaultAtten_.IsDefault()));
    }
    typed_ = false;
    Recompute();
}

void PfirDesignDialog::RestoreDefaults() {
    const PfirDesignRequest plain;
    defaultAtten_.Restore();
    {
        const QSignalBlocker b1(oddButton_), b2(evenButton_), b3(compensateBox_);
        oddButton_->setChecked(!plain.evenLength);
        evenButton_->setChecked(plain.evenLength);
        compensateBox_->setChecked(plain.compensateCic);
    }
    ShowRequest(plain);  // ripple and attenuation; Follow takes them as the base of the edges
    shownChannel_.reset();
    // The default for the channel, whatever it has stored: kept once designed.
    const int index = std::clamp(m_.CurrentChannel, 0, kChannels - 1);
    ChainRequest none;
    none.rippleDb = plain.rippleDb;
    none.attenDb = plain.attenDb;
    if (storeRequest_ && ChannelChainRequest(m_.settings, index).passHz > 0) storeRequest_(none);
    Follow();
}

void PfirDesignDialog::ShowRequest(const PfirDesignRequest& r) {
    const QString texts[4] = {Khz(r.passHz), Khz(r.stopHz), QString::number(r.rippleDb, 'g', 6),
                              QString::number(r.attenDb, 'g', 6)};
    for (int i = 0; i < 4; ++i) {
        QSignalBlocker block(edits_[i]);
        edits_[i]->setText(texts[i]);
    }
}

std::optional<PfirDesignRequest> PfirDesignDialog::ReadRequest() {
    const ParsedDesignRequest p = ParseDesignRequest(ChannelNow(), TypedRequest());
    std::array<QString, 4> messages;
    for (const PfirRequestError& e : p.errors) messages[static_cast<size_t>(FieldIndex(e.field))] = RequestErrorText(e);
    for (int i = 0; i < 4; ++i) fieldErrors_[i]->setText(messages[static_cast<size_t>(i)]);
    if (!p.ok()) return std::nullopt;
    return p.request;
}

void PfirDesignDialog::OnEdited() {
    if (ReadRequest()) {
        saveButton_->setEnabled(true);
        designTimer_.start();
    } else {
        designTimer_.stop();
        design_.reset();
        ShowDesign();
    }
}

void PfirDesignDialog::Recompute() {
    designTimer_.stop();
    StopSearch();
    const auto r = ReadRequest();
    if (r) {
        request_ = *r;
        design_ = DesignPfirRounded(ChannelNow(), *r);
    } else
        design_.reset();
    // What the user typed becomes the channel's request once it designs.
    if (std::exchange(typed_, false) && r && design_ && design_->ok() && storeRequest_) {
        const ChainRequest typed = ChainRequestOfDesign(*r);
        if (!followedRequest_ || !SameChainRequest(*followedRequest_, typed)) {
            followedRequest_ = typed;  // before the store: the refresh it brings must not reset the fields
            storeRequest_(typed);
        }
    }
    ShowDesign();
    if (!design_ || !design_->ok()) return;
    searchNote_->setText(QStringLiteral("Поиск по 16-битным коэффициентам…"));
    search_.Start(
        [this, ch = ChannelNow(), request = *r, d = *design_](const std::atomic<bool>& cancel, int generation) mutable {
            searchResult_ = SearchPfirDesign(ch, request, std::move(d), &cancel);
            QMetaObject::invokeMethod(
                this, [this, generation] { OnSearched(generation); }, Qt::QueuedConnection);
        });
}

void PfirDesignDialog::StopSearch() { search_.Stop(); }

void PfirDesignDialog::OnSearched(int generation) {
    if (!search_.Current(generation)) return;
    search_.Finish();
    std::optional<PfirDesign> result = std::exchange(searchResult_, std::nullopt);
    if (!result || !result->searched) {
        searchNote_->clear();
        return;
    }
    design_ = std::move(*result);
    ShowDesign();
    const double gain = design_->quantisationGainDb;
    searchNote_->setText(QStringLiteral("Поиск по 16-битным коэффициентам: %1%2 дБ")
                             .arg(gain >= 0 ? QStringLiteral("+") : QString(), FixedQ(gain, 12, 1)));
    // Said before the user asks: a default attenuation the length cannot reach becomes the one it does.
    const std::optional<double> reachable = defaultAtten_.Lower(*design_, request_);
    if (!reachable) return;
    {
        const QSignalBlocker block(edits_[kAtten]);
        edits_[kAtten]->setText(QString::number(*reachable, 'g', 6));
    }
    defaultNote_->setText(
        QStringLiteral("Подавление по умолчанию снижено до %1 дБ: больше 16-битный фильтр из %2 не даёт")
            .arg(QString::number(*reachable, 'g', 6),
                 QString::fromStdString(CountText(design_->ntaps, "коэффициента", "коэффициентов", "коэффициентов"))));
    Recompute();
}

void PfirDesignDialog::ShowDesign() {
    const bool ok = design_ && design_->ok();
    saveButton_->setEnabled(ok);
    if (design_)
        for (const PfirRequestError& e : design_->errors)
            fieldErrors_[FieldIndex(e.field)]->setText(RequestErrorText(e));
    if (!ok) {
        for (QLabel* l : {lengthValue_, rippleValue_, attenValue_, aliasValue_, cicAliasValue_, methodValue_,
                          tradeValue_, verdict_, searchNote_})
            l->clear();
        plot_->SetPicture(PictureOfFrame(PlotFrame{}));
        return;
    }
    const PfirDesign& d = *design_;
    lengthValue_->setText(QString::number(d.ntaps));
    rippleValue_->setText(FixedQ(d.figures.passbandRippleDb, 12, 3) + QStringLiteral(" дБ"));
    attenValue_->setText(FixedQ(d.figures.stopbandAttenDb, 12, 3) + QStringLiteral(" дБ"));
    methodValue_->setText(d.method == PfirDesignMethod::Remez ? QStringLiteral("Паркса–Маклеллана")
                                                              : QStringLiteral("окно Кайзера"));
    // What the ripple allowed was traded for: the attenuation over (or under) the one asked.
    const double margin = d.figures.stopbandAttenDb - request_.attenDb;
    tradeValue_->setText(QStringLiteral("неравномерность %1 из %2 дБ, подавление %3 заданного на %4 дБ")
                             .arg(FixedQ(d.figures.passbandRippleDb, 12, 3), FixedQ(request_.rippleDb, 12, 3),
                                  margin >= 0 ? QStringLiteral("выше") : QStringLiteral("ниже"),
                                  FixedQ(std::fabs(margin), 12, 1)));
    aliasValue_->setText(DbText(d.chain.aliasRejectionDb));
    cicAliasValue_->setText(DbText(d.chain.cicAliasRejectionDb));
    const std::vector<PfirShortfall> misses = PfirDesignShortfalls(d, request_);
    QStringList parts;
    for (const PfirShortfall& f : misses) parts << ShortfallText(f);
    QString verdict = misses.empty() ? QStringLiteral("Требования выполнены")
                                     : QStringLiteral("Требования не выполнены: ") + parts.join(QStringLiteral("; "));
    if (d.method == PfirDesignMethod::Kaiser)
        verdict += QStringLiteral("; метод Паркса–Маклеллана дал фильтр хуже, взято окно Кайзера");
    verdict_->setText(verdict);
    verdict_->setStyleSheet(misses.empty() ? QString() : QStringLiteral("QLabel { color: red; }"));
    plot_->SetPicture(PictureOfFrame(PfirDesignPlotFrame(d.preview, ChannelNow().firDec)));
}

void PfirDesignDialog::SetStatus(const QString& text, bool error) {
    status_->setText(text);
    status_->setStyleSheet(error ? QStringLiteral("QLabel { color: red; }") : QString());
}

std::optional<fs::path> PfirDesignDialog::SaveTaps(const std::vector<int32_t>& taps, QString& shown) {
    const FileDialogRequest request{true, QStringLiteral("PFIR5016(*.taps)"), QStringLiteral("taps"),
                                    QString::fromStdString(fs::absolute(workspace_.Filters()).string())};
    const auto chosen = chooser_->Choose(this, request);
    if (!chosen) return std::nullopt;
    const DesignSaveResult r = SaveDesignedTaps(workspace_, fs::path(chosen->toStdString()), taps);
    if (r.nameRefusal) {
        SetStatus(QStringLiteral("Не записано: %1").arg(NameRefusalText(*r.nameRefusal)), true);
        return std::nullopt;
    }
    // Named as the user knows it: below the working folder when it is there.
    const fs::path rel = r.path.lexically_relative(fs::absolute(workspace_.root));
    shown = QString::fromStdString(rel.empty() || *rel.begin() == ".." ? r.path.string() : rel.generic_string());
    if (!r.done()) {
        SetStatus(
            QStringLiteral("Не удалось записать %1 (%2)").arg(shown, QString::fromStdString(CauseText(r.failure.code))),
            true);
        return std::nullopt;
    }
    return r.path;
}

void PfirDesignDialog::Save() {
    if (designTimer_.isActive() || !design_) Recompute();
    // The searched set is the one written: wait for it (a lowered default designs once more).
    while (search_.Running()) OnSearched(search_.generation());
    if (!design_ || !design_->ok()) return;
    QString shown;
    const auto path = SaveTaps(design_->taps, shown);
    if (!path) return;
    const int taps = design_->ntaps;
    const QChar channel('A' + std::clamp(m_.CurrentChannel, 0, kChannels - 1));
    // The request stays the one the fields show: the refresh after the file must not reset them.
    followedRequest_ = ChainRequestOfDesign(request_);
    if (useFile_) useFile_(*path, *followedRequest_);
    SetStatus(QStringLiteral("Записан %1: %2, файл коэффициентов канала %3").arg(shown, Taps(taps)).arg(channel),
              false);
}

void PfirDesignDialog::StopSplits() {
    if (!splits_.Running()) return;
    splits_.Stop();  // rows still queued from the stopped run are dropped
    splitsButton_->setEnabled(true);
}

void PfirDesignDialog::ClearSplits() {
    StopSplits();
    splitChannel_.reset();
    splitRows_.clear();
    splitsTable_->setRowCount(0);
    splitsProgress_->setRange(0, 1);
    splitsProgress_->setValue(0);
    splitsProgress_->setTextVisible(false);
    applySplitButton_->setEnabled(false);
}

void PfirDesignDialog::ComputeSplits() {
    ClearSplits();
    const int index = std::clamp(m_.CurrentChannel, 0, kChannels - 1);
    const DdcChannel ch = DesignSplitChannelOf(m_, index);
    const SplitRequest request = DesignSplitRequest(ch, ReadRequest());
    splitRequest_ = request;
    if (const auto refusal = CheckSplitRequest(ch, request)) {
        SetStatus(QStringLiteral("Разбиения не рассчитать: %1").arg(QString::fromStdString(*refusal)), true);
        return;
    }
    const std::vector<DecimationSplit> splits = ListDecimationSplits(ch);
    splitChannel_ = ch;
    splitsExpected_ = static_cast<int>(splits.size());
    splitsProgress_->setRange(0, std::max(1, splitsExpected_));
    splitsProgress_->setValue(0);
    splitsProgress_->setTextVisible(true);
    if (splits.empty()) return;
    splitsButton_->setEnabled(false);
    // The rows are independent and pure; the window only receives them.
    splits_.Start([this, ch, request, splits](const std::atomic<bool>& cancel, int generation) {
        for (const DecimationSplit& split : splits) {
            if (cancel) return;
            SplitRow row = EvaluateSplit(ch, split, request);
            QMetaObject::invokeMethod(
                this, [this, generation, row = std::move(row)] { OnSplitRow(generation, row); }, Qt::QueuedConnection);
        }
    });
}

void PfirDesignDialog::OnSplitRow(int generation, const SplitRow& row) {
    if (!splits_.Current(generation)) return;
    splitRows_.push_back(row);
    ShowSplitRow(static_cast<int>(splitRows_.size()) - 1, false);
    splitsProgress_->setValue(static_cast<int>(splitRows_.size()));
    if (static_cast<int>(splitRows_.size()) == splitsExpected_) {
        splits_.Finish();  // the worker has nothing left to do but return
        splitsButton_->setEnabled(true);
        pickButton_->setEnabled(true);
        // Best first: the rows that meet the request by their margin, then the others.
        RankSplitRows(splitRows_);
        const bool met = !splitRows_.empty() && splitRows_.front().designed && splitRows_.front().margins.met;
        for (int r = 0; r < static_cast<int>(splitRows_.size()); ++r) ShowSplitRow(r, r == 0);
        if (!splitRows_.empty() && splitRows_.front().designed) splitsTable_->selectRow(0);
        UpdateApplyButton();
        if (std::exchange(pickWhenDone_, false)) {
            if (!met) {
                SetStatus(QStringLiteral("Подобрать: ни одно разбиение не выполняет требования; лучшее выделено, "
                                         "«Применить» применит его"),
                          true);
                return;
            }
            ApplySelectedSplit();
        }
    }
}

void PfirDesignDialog::ShowSplitRow(int r, bool best) {
    const SplitRow& row = splitRows_[static_cast<size_t>(r)];
    if (splitsTable_->rowCount() <= r) splitsTable_->setRowCount(r + 1);
    const QString dash = QStringLiteral("—");
    const bool stop = row.designed && row.chain.stopbandAttenDb.has_value();
    const QString cells[kSplitColumns] = {QString::number(row.split.firDec),
                                          QString::number(row.split.cicDec),
                                          QString::number(row.ntaps),
                                          FixedQ(row.cicAliasRejectionDb, 12, 3),
                                          row.designed ? FixedQ(row.aliasRejectionDb, 12, 3) : dash,
                                          row.designed ? FixedQ(row.passbandRippleDb, 12, 3) : dash,
                                          stop ? FixedQ(*row.chain.stopbandAttenDb, 12, 3) : dash,
                                          row.designed ? FixedQ(RankMargin(row.margins), 12, 3) : dash};
    QFont font = splitsTable_->font();
    font.setBold(best);
    for (int c = 0; c < kSplitColumns; ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        item->setFont(font);
        if (c == kSplitColumns - 1 && row.designed)
            item->setForeground(row.margins.met ? QColor(0, 140, 0) : QColor(Qt::red));
        if (best) item->setToolTip(QStringLiteral("Лучшее разбиение по требованиям"));
        splitsTable_->setItem(r, c, item);
    }
}

void PfirDesignDialog::PickSplit() {
    pickWhenDone_ = true;
    pickButton_->setEnabled(false);
    ComputeSplits();
    // Refused before any row: nothing to wait for.
    if (!SplitsRunning()) {
        pickWhenDone_ = false;
        pickButton_->setEnabled(true);
    }
}

void PfirDesignDialog::UpdateApplyButton() {
    const int r = splitsTable_->currentRow();
    applySplitButton_->setEnabled(!SplitsRunning() && r >= 0 && r < static_cast<int>(splitRows_.size()) &&
                                  splitRows_[static_cast<size_t>(r)].designed);
}

void PfirDesignDialog::ApplySelectedSplit() {
    const int r = splitsTable_->currentRow();
    if (SplitsRunning() || r < 0 || r >= static_cast<int>(splitRows_.size())) return;
    const SplitRow row = splitRows_[static_cast<size_t>(r)];
    if (!row.designed) return;
    QString shown;
    const auto path = SaveTaps(row.taps, shown);
    if (!path) return;
    const QChar channel('A' + std::clamp(m_.CurrentChannel, 0, kChannels - 1));
    // The channel keeps the request the row was designed for; the fields show
    // it at the new split with the row's flags, so they design the row's set.
    ChainRequest request = ChainRequestOfDesign(row.request);
    if (splitRequest_.stopHz > 0) request.stopHz = splitRequest_.stopHz;
    {
        const QSignalBlocker b1(oddButton_), b2(evenButton_), b3(compensateBox_);
        oddButton_->setChecked(!row.request.evenLength);
        evenButton_->setChecked(row.request.evenLength);
        compensateBox_->setChecked(row.request.compensateCic);
    }
    if (applySplit_) applySplit_(row.split.cicDec, row.split.firDec, *path, request);
    SetStatus(QStringLiteral("Записан %1: %2; канал %3: CIC %4, PFIR %5")
                  .arg(shown, Taps(row.ntaps))
                  .arg(channel)
                  .arg(row.split.cicDec)
                  .arg(row.split.firDec),
              false);
}

}  // namespace gc
