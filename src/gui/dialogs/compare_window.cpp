#include "gui/dialogs/compare_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include "filters/chain_analysis.h"

#include "gui/main_window/main_window.h"
#include "session/command_status.h"

namespace gc {

namespace {

QString ChannelText(int c) { return c < 0 ? QString() : QString(QChar('A' + c)); }

}  // namespace

CompareWindow::CompareWindow(MainWindow& form, QWidget* parent) : QWidget(parent, Qt::Window), form_(form) {
    setObjectName("compareWindow");
    setWindowTitle(QStringLiteral("Сравнить конфигурации"));
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    auto* choose = new QPushButton(QStringLiteral("Файл…"), this);
    choose->setObjectName("compareChooseButton");
    take_ = new QPushButton(QStringLiteral("Открыть как конфигурацию"), this);
    take_->setObjectName("compareTakeButton");
    take_->setEnabled(false);
    overlay_ = new QPushButton(QStringLiteral("Наложить на «Анализ тракта»"), this);
    overlay_->setObjectName("compareOverlayButton");
    overlay_->setCheckable(true);
    overlay_->setEnabled(false);
    buttons->addWidget(choose);
    buttons->addWidget(take_);
    buttons->addWidget(overlay_);
    buttons->addStretch();
    layout->addLayout(buttons);
    summary_ = new QLabel(this);
    summary_->setObjectName("compareSummary");
    summary_->setWordWrap(true);
    layout->addWidget(summary_);
    table_ = new QTableWidget(0, 4, this);
    table_->setObjectName("compareTable");
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Параметр"), QStringLiteral("Где"), QStringLiteral("Текущая"), QStringLiteral("Файл")});
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(table_);
    resize(640, 480);
    connect(choose, &QPushButton::clicked, this, &CompareWindow::Open);
    connect(take_, &QPushButton::clicked, this, &CompareWindow::TakeAsConfiguration);
    connect(overlay_, &QPushButton::toggled, this, &CompareWindow::overlayChanged);
    askPrefix_ = [this](const QString& proposed) -> std::optional<QString> {
        bool ok = false;
        const QString text = QInputDialog::getText(
            this, windowTitle(),
            QStringLiteral("Коэффициенты каналов будут записаны в FILTERS/ИМЯ_A.taps … ИМЯ_D.taps. Имя:"),
            QLineEdit::Normal, proposed, &ok);
        if (!ok) return std::nullopt;
        return text;
    };
}

void CompareWindow::Open() {
    show();
    raise();
    FileDialogRequest request;
    request.filter = QStringLiteral("Конфигурации (*.lab *.prg)");
    request.initialDir = QString::fromStdString(form_.workspace().Configs().string());
    const std::optional<QString> chosen = chooser_->Choose(this, request);
    if (chosen) CompareWith(chosen->toStdString());
}

void CompareWindow::Report(const QString& text) {
    summary_->setText(text);
    form_.ShowStatus(text.toStdString());
}

bool CompareWindow::CompareWith(const std::filesystem::path& path) {
    const Workspace& ws = form_.workspace();
    const QString shown = QString::fromStdString(ShownPath(path, ws));
    LoadedConfiguration current, other;
    *current.session = form_.model();
    DiffCommandResult r;
    decoded_.reset();
    take_->setEnabled(false);
    table_->setRowCount(0);
    const bool overlaid = OverlayChannels().has_value();
    otherChannels_.reset();
    overlay_->setEnabled(false);
    if (!LoadConfiguration(other, ws, path, r)) {
        Report(QStringLiteral("Сравнение с %1 невозможно: %2").arg(shown, QString::fromStdString(r.reason)));
        if (overlaid) emit overlayChanged();
        return false;
    }
    other_ = path;
    otherChannels_.emplace();
    for (int c = 0; c < kChannels; ++c)
        (*otherChannels_)[static_cast<size_t>(c)] = ChainChannelOf(other.session->settings, *other.session, c);
    overlay_->setEnabled(true);
    if (overlay_->isChecked()) emit overlayChanged();
    DiffConfigurations(current, other, r);
    ShowDifferences(r);
    decoded_ = other.decoded;
    take_->setEnabled(decoded_.has_value());
    const int n = static_cast<int>(r.settings.size() + r.fields.size());
    Report(r.equal() ? QStringLiteral("Прочитан %1: совпадает с текущей конфигурацией").arg(shown)
                     : QStringLiteral("Прочитан %1: %2")
                           .arg(shown, QString::fromStdString(CountText(n, "отличие", "отличия", "отличий"))));
    return true;
}

std::optional<std::array<DdcChannel, kChannels>> CompareWindow::OverlayChannels() const {
    if (!overlay_->isChecked() || !otherChannels_) return std::nullopt;
    return otherChannels_;
}

QString CompareWindow::OtherName() const { return QString::fromStdString(ShownPath(other_, form_.workspace())); }

void CompareWindow::ShowDifferences(const DiffCommandResult& r) {
    auto row = [this](const QString& name, const QString& where, const QString& a, const QString& b) {
        const int i = table_->rowCount();
        table_->insertRow(i);
        int col = 0;
        for (const QString& text : {name, where, a, b}) table_->setItem(i, col++, new QTableWidgetItem(text));
    };
    for (const SettingDifference& s : r.settings)
        row(QString::fromStdString(s.name), ChannelText(s.channel), QString::fromStdString(s.a),
            QString::fromStdString(s.b));
    for (const FieldDifference& f : r.fields)
        row(QString::fromStdString(f.field), QStringLiteral("0x%1 / 0x%2").arg(f.page, 0, 16).arg(f.reg, 0, 16),
            QString::number(f.a), QString::number(f.b));
}

void CompareWindow::TakeAsConfiguration() {
    if (!decoded_) return;
    const Workspace& ws = form_.workspace();
    const std::optional<QString> prefix = askPrefix_(QString::fromStdString(other_.stem().string()));
    if (!prefix || prefix->isEmpty() || prefix->contains('/') || prefix->contains('\\')) return;
    const auto names = DecodedTapsNames(prefix->toStdString());
    for (int c = 0; c < kChannels; ++c) {
        const CommandResult w =
            SaveDesignedTaps(ws, ws.Filters() / names[static_cast<size_t>(c)], decoded_->taps[static_cast<size_t>(c)]);
        if (!w.done()) {
            Report(QString::fromStdString(w.reason));
            return;
        }
    }
    // One edit: refits, derives, redraws and records the whole change as one undo step.
    form_.ApplyUserEdit(edit::TakeDecoded{*decoded_, names});
    Report(QStringLiteral("Открыт как конфигурация: %1; коэффициенты в FILTERS/%2 … %3")
               .arg(QString::fromStdString(ShownPath(other_, ws)), QString::fromStdString(names[0]),
                    QString::fromStdString(names[3])));
}

}  // namespace gc
