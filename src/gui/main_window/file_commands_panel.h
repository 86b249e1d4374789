// The main window's command buttons: the configuration's name with "Считать"
// and "Записать", the expert's chip files and chip-tool checks with their
// mismatch counts, and "Справка" and "Применить ко всем ".
#pragma once

#include <QObject>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace gc {

enum class FileCommand {
    ReadLab,
    SaveLab,
    WriteTbl,
    ReadTbl,
    WritePrg,
    Gc101ToPrg,
    ReadBeRam,
    WriteCmdFile,
    Compare,
    FltToTaps,
    ApplyToAll,
    Info,
    ChooseCoefFile,  // "Файл" of the coefficient file panel
    WriteFilter,     // "WriteFilter" of the expert group
};

// The panels with the counts of "Comp" and of the chip tool's pages.
enum class CountPanel { CompareDiffs, Page16, Page17 };

class FileCommandsPanel : public QObject {
    Q_OBJECT

public:
    explicit FileCommandsPanel(QWidget* part);

    QHBoxLayout* BuildConfigurationRow();
    // The chip-file rows of the expert group from grid row `row`; returns the next free row.
    int BuildChipRows(QWidget* group, QGridLayout* grid, int row);
    QHBoxLayout* BuildHelpRow();

    void ShowLabName(const QString& name);
    // A count other than 0 shows red.
    void ShowCount(CountPanel panel, int count);

signals:
    void commandRequested(FileCommand command);

private:
    void AddButton(QWidget* parent, const QString& text, const char* name, FileCommand command, QGridLayout* grid,
                   int row, int column);

    QWidget* part_;
    QLabel* labName_ = nullptr;
    QLabel* compareDiffPanel_ = nullptr;     // differences found by "Comp"
    QLabel* page16MismatchPanel_ = nullptr;  // our page-16 tables against the tool's
    QLabel* page17MismatchPanel_ = nullptr;  // our page-17 tables against the tool's
};

}  // namespace gc
