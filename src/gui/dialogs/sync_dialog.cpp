#include "gui/dialogs/sync_dialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "gui/widgets/labels.h"

namespace gc {

namespace {

constexpr const char* kChannelNames[kChannels] = {"A", "B", "C", "D"};

QComboBox* MakeSyncCombo(QWidget* parent, int items, const QString& name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (int code = 0; code < items; ++code) box->addItem(Text(SyncCodeTexts()[code]));
    return box;
}

void Select(QComboBox* box, int index) {
    QSignalBlocker block(box);
    box->setCurrentIndex(index);
}

}  // namespace

SyncDialog::SyncDialog(Settings& settings, RegisterImage& workImage, QWidget* parent)
    : QWidget(parent, Qt::Window), settings_(settings), image_(workImage) {
    setWindowTitle(QStringLiteral("Синхронизация"));
    setObjectName("sync");
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* top = new QVBoxLayout(this);
    auto* soBRow = new QHBoxLayout;
    soBRow->addWidget(new QLabel(QStringLiteral("soB_sync"), this));
    soB_ = MakeSyncCombo(this, kSoBSyncItems, QStringLiteral("soB_sync"));
    soBRow->addWidget(soB_);
    soBRow->addStretch(1);
    top->addLayout(soBRow);

    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    for (int c = 0; c < kChannels; ++c)
        grid->addWidget(new QLabel(QStringLiteral("Канал %1").arg(QString::fromLatin1(kChannelNames[c])), this), 0,
                        c + 1, Qt::AlignCenter);
    for (int r = 0; r < kSyncRows; ++r) {
        const QString label = Text(SyncRows()[r].label);
        grid->addWidget(new QLabel(label, this), r + 1, 0);
        for (int c = 0; c < kChannels; ++c) {
            grid_[r][c] = MakeSyncCombo(this, kSyncCodes, label + "_" + QString::fromLatin1(kChannelNames[c]));
            grid->addWidget(grid_[r][c], r + 1, c + 1);
        }
    }
    top->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    oneShotButton_ = new QPushButton(QStringLiteral("one_shot"), this);
    oneShotButton_->setObjectName("oneShotButton");
    siaButton_ = new QPushButton(QStringLiteral("SIA"), this);
    siaButton_->setObjectName("siaButton");
    buttons->addWidget(oneShotButton_);
    buttons->addWidget(siaButton_);
    buttons->addStretch(1);
    top->addLayout(buttons);

    connect(soB_, &QComboBox::currentIndexChanged, this, &SyncDialog::OnSelectionChanged);
    for (auto& row : grid_)
        for (QComboBox* box : row) connect(box, &QComboBox::currentIndexChanged, this, &SyncDialog::OnSelectionChanged);
    connect(oneShotButton_, &QPushButton::clicked, this, [this] { OnPreset(kSyncOneShot); });
    connect(siaButton_, &QPushButton::clicked, this, [this] { OnPreset(kSyncSia); });
}

void SyncDialog::Open() {
    flags_.open = true;
    show();
    raise();
    activateWindow();
}

void SyncDialog::RefreshSync() {
    const SyncSelection sel = SyncSelectionOf(settings_);
    Select(soB_, sel.soB);
    for (int r = 0; r < kSyncRows; ++r)
        for (int c = 0; c < kChannels; ++c) Select(grid_[r][c], sel.grid[r][c]);
    WriteOwnSyncFields(settings_, image_);
    soB_->setEnabled(flags_.writeEnable);
    for (auto& row : grid_)
        for (QComboBox* box : row) box->setEnabled(flags_.writeEnable);
}

void SyncDialog::Apply(const Edit& e) {
    if (applyEdit_) applyEdit_(e);
    RefreshSync();
}

void SyncDialog::OnSelectionChanged() {
    SyncSelection sel;
    sel.soB = soB_->currentIndex();
    for (int r = 0; r < kSyncRows; ++r)
        for (int c = 0; c < kChannels; ++c) sel.grid[r][c] = grid_[r][c]->currentIndex();
    Apply(edit::SyncChoice{sel});
}

void SyncDialog::OnPreset(int32_t code) { Apply(edit::SyncPreset{code}); }

void SyncDialog::showEvent(QShowEvent* event) {
    RefreshSync();
    QWidget::showEvent(event);
}

void SyncDialog::closeEvent(QCloseEvent* event) {
    flags_.open = false;
    QWidget::closeEvent(event);
}

}  // namespace gc
