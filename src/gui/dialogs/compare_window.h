// "Сравнить конфигурации…": the differences between the current configuration
// and a lab or program file, settings first, then register fields; and
// "Открыть как конфигурацию", which takes a decoded program file as the
// current configuration in one undo step.
#pragma once

#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>

#include "filters/ddc_channel.h"
#include "gui/app/file_chooser.h"
#include "session/decode_commands.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace gc {

class MainWindow;

class CompareWindow : public QWidget {
    Q_OBJECT

public:
    explicit CompareWindow(MainWindow& form, QWidget* parent = nullptr);

    void SetFileChooser(FileChooser* chooser) { chooser_ = chooser ? chooser : &dialogChooser_; }
    // Asks for the taps files' name prefix; nullopt when the user cancels.
    void SetPrefixQuestion(std::function<std::optional<QString>(const QString& proposed)> ask) {
        askPrefix_ = std::move(ask);
    }

    // Shows the window and asks for the file to compare with.
    void Open();
    // Fills the table with the differences; false (and the reason shown) when
    // the file cannot be used.
    bool CompareWith(const std::filesystem::path& path);
    void TakeAsConfiguration();
    // The compared configuration's channels while "Наложить на «Анализ тракта»"
    // is on, named as the user chose the file; nullopt otherwise.
    std::optional<std::array<DdcChannel, kChannels>> OverlayChannels() const;
    QString OtherName() const;

signals:
    // The overlay was switched, or its configuration changed.
    void overlayChanged();

private:
    void ShowDifferences(const DiffCommandResult& r);
    void Report(const QString& text);

    MainWindow& form_;
    DialogFileChooser dialogChooser_;
    FileChooser* chooser_ = &dialogChooser_;
    std::function<std::optional<QString>(const QString&)> askPrefix_;
    std::filesystem::path other_;
    std::optional<DecodedProgram> decoded_;
    QLabel* summary_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPushButton* take_ = nullptr;
    QPushButton* overlay_ = nullptr;
    std::optional<std::array<DdcChannel, kChannels>> otherChannels_;
};

}  // namespace gc
