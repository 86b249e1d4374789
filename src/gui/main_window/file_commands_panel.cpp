#include "gui/main_window/file_commands_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "gui/widgets/panel_widgets.h"

namespace gc {

FileCommandsPanel::FileCommandsPanel(QWidget* part) : QObject(part), part_(part) {}

QHBoxLayout* FileCommandsPanel::BuildConfigurationRow() {
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Конфигурация:"), part_));
    labName_ = MakePanel(part_, "labName", 90);
    row->addWidget(labName_);
    const std::pair<const char*, FileCommand> buttons[] = {{"readLabButton", FileCommand::ReadLab},
                                                           {"saveLabButton", FileCommand::SaveLab}};
    for (const auto& [name, command] : buttons) {
        auto* b = MakeButton(
            part_, command == FileCommand::ReadLab ? QStringLiteral("Считать") : QStringLiteral("Записать"), name);
        connect(b, &QPushButton::clicked, this, [this, command] { emit commandRequested(command); });
        row->addWidget(b);
    }
    row->addStretch(1);
    return row;
}

void FileCommandsPanel::AddButton(QWidget* parent, const QString& text, const char* name, FileCommand command,
                                  QGridLayout* grid, int row, int column) {
    auto* b = MakeButton(parent, text, name);
    connect(b, &QPushButton::clicked, this, [this, command] { emit commandRequested(command); });
    grid->addWidget(b, row, column);
}

int FileCommandsPanel::BuildChipRows(QWidget* g, QGridLayout* grid, int r) {
    compareDiffPanel_ = MakePanel(g, "Panel7", 50);
    page16MismatchPanel_ = MakePanel(g, "Panel8", 50);
    page17MismatchPanel_ = MakePanel(g, "Panel9", 50);
    AddButton(g, QStringLiteral("Write *.tbl"), "writeTblButton", FileCommand::WriteTbl, grid, r, 0);
    AddButton(g, QStringLiteral("Read *tbl"), "readTblButton", FileCommand::ReadTbl, grid, r, 1);
    AddButton(g, QStringLiteral("DFDP->Filter"), "fltButton", FileCommand::FltToTaps, grid, r, 2);
    AddButton(g, QStringLiteral("Read  BeRam"), "readBeRamButton", FileCommand::ReadBeRam, grid, r, 3);
    ++r;
    AddButton(g, QStringLiteral("Write *.prg"), "writePrgButton", FileCommand::WritePrg, grid, r, 0);
    grid->addWidget(page16MismatchPanel_, r, 1);
    grid->addWidget(page17MismatchPanel_, r, 2);
    AddButton(g, QStringLiteral("gc101->prg"), "gc101Button", FileCommand::Gc101ToPrg, grid, r, 3);
    ++r;
    AddButton(g, QStringLiteral("WriteCmdFile"), "writeCmdButton", FileCommand::WriteCmdFile, grid, r, 0);
    AddButton(g, QStringLiteral("Comp"), "compareButton", FileCommand::Compare, grid, r, 1);
    grid->addWidget(compareDiffPanel_, r, 2);
    return r + 1;
}

QHBoxLayout* FileCommandsPanel::BuildHelpRow() {
    auto* row = new QHBoxLayout;
    auto* info = MakeButton(part_, QStringLiteral("Справка"), "infoButton");
    auto* applyAll = MakeButton(part_, QStringLiteral("Применить ко всем "), "applyAllButton");
    connect(info, &QPushButton::clicked, this, [this] { emit commandRequested(FileCommand::Info); });
    connect(applyAll, &QPushButton::clicked, this, [this] { emit commandRequested(FileCommand::ApplyToAll); });
    row->addWidget(info);
    row->addWidget(applyAll);
    row->addStretch(1);
    return row;
}

void FileCommandsPanel::ShowLabName(const QString& name) { labName_->setText(name); }

void FileCommandsPanel::ShowCount(CountPanel panel, int count) {
    QLabel* label = panel == CountPanel::CompareDiffs ? compareDiffPanel_
                    : panel == CountPanel::Page16     ? page16MismatchPanel_
                                                      : page17MismatchPanel_;
    label->setText(QString::number(count));
    SetPanelColour(label, count != 0 ? QColor(Qt::red) : part_->palette().color(QPalette::Button));
}

}  // namespace gc
