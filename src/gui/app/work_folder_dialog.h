// The working folder of a start: asked once ("Рабочая папка") when nothing
// better is known, then remembered in the user's settings beside the window
// state. -C on the command line always wins and is not remembered.
#pragma once

#include <QDialog>
#include <QString>
#include <filesystem>
#include <optional>

#include "session/work_folder.h"

class QLineEdit;
class QRadioButton;
class QSettings;

namespace gc {

class WorkFolderDialog : public QDialog {
    Q_OBJECT
public:
    enum class Choice { FromExample, Existing, Current };

    // proposed: where a new folder is made; current: the folder "as today".
    WorkFolderDialog(const QString& proposed, const QString& current, QWidget* parent = nullptr);
    Choice choice() const;
    // The folder of the choice, "~" expanded and made absolute.
    QString folder() const;

private:
    void Browse(QLineEdit* edit);

    QString current_;
    QRadioButton* fromExample_ = nullptr;
    QRadioButton* existing_ = nullptr;
    QRadioButton* stay_ = nullptr;
    QLineEdit* exampleEdit_ = nullptr;
    QLineEdit* existingEdit_ = nullptr;
};

std::filesystem::path ToFsPath(const QString& path);
QString FromFsPath(const std::filesystem::path& path);

// The example working folder: the installed one beside the program, else the
// source tree's (a program run from its build folder); empty when neither is there.
std::filesystem::path ExampleWorkFolder();

// The user's documents folder (the home folder when there is none).
std::filesystem::path DocumentsFolder();

// The user's remembered working folder; empty when none.
std::filesystem::path RememberedWorkFolder(const QSettings& settings);

// Shows the dialog until the answer can be used: a folder made from the
// example (never over existing files), an existing working folder, or
// current. The first two are remembered. nullopt when the user closes it.
std::optional<std::filesystem::path> AskWorkFolder(const std::filesystem::path& proposed,
                                                   const std::filesystem::path& current, QSettings& settings,
                                                   const std::filesystem::path& example, QWidget* parent = nullptr);

// The folder this start works in: as DecideWorkFolder says (start.remembered
// is read from settings), or asked. nullopt when the user gave up.
std::optional<std::filesystem::path> StartWorkFolder(WorkFolderStart start, QSettings& settings,
                                                     const std::filesystem::path& example);

}  // namespace gc
