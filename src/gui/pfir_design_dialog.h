// "Расчёт PFIR": designs the selected channel's PFIR at the longest length the
// chip runs, shows its figures and the response of the whole chain, and saves
// it as the channel's coefficient file. Non-modal; follows the main window's
// channel while it is open.
#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>

#include "core/workspace.h"
#include "filters/pfir_design.h"
#include "gui/file_chooser.h"
#include "session/session.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace gc {

class ResponsePlotArea;

class PfirDesignDialog : public QWidget {
    Q_OBJECT

public:
    // useFile makes a written file the selected channel's coefficient file,
    // as "Файл" does.
    PfirDesignDialog(const Session& m, Workspace workspace, std::function<void(const std::filesystem::path&)> useFile,
                     QWidget* parent = nullptr);

    void SetFileChooser(FileChooser* chooser) { chooser_ = chooser ? chooser : &dialogChooser_; }

    // Shows the window, with the default request when the channel is new to it.
    void Open();
    // After every refresh of the main window: a channel whose clock, mode or
    // decimations changed gets the default request again.
    void Refresh();
    // Designs now from the fields as they stand (the fields also do it shortly after each edit).
    void Recompute();
    // "Сохранить".
    void Save();

    const std::optional<PfirDesign>& design() const { return design_; }
    ResponsePlotArea* plot() const { return plot_; }

private:
    void BuildLayout();
    // Takes the selected channel; a changed one gets the default request.
    void Follow();
    PfirDesignChannel ChannelNow() const;
    void ShowRequest(const PfirDesignRequest& r);
    // "По умолчанию": every field, the length and the compensation as on a first opening.
    void RestoreDefaults();
    // Reads the fields; shows a message beside each refused one. nullopt when any is refused.
    std::optional<PfirDesignRequest> ReadRequest();
    void OnEdited();
    void ShowDesign();
    void SetStatus(const QString& text, bool error);

    const Session& m_;
    Workspace workspace_;
    std::function<void(const std::filesystem::path&)> useFile_;
    DialogFileChooser dialogChooser_;
    FileChooser* chooser_ = &dialogChooser_;
    std::optional<PfirDesignChannel> shownChannel_;
    int shownChannelIndex_ = -1;
    std::optional<PfirDesign> design_;
    PfirDesignRequest request_;  // what design_ was asked for
    QTimer designTimer_;

    QLabel* channelLine_ = nullptr;
    QLabel* outputRate_ = nullptr;
    std::array<QLineEdit*, 4> edits_{};  // pass, stop, ripple, atten
    std::array<QLabel*, 4> fieldErrors_{};
    QRadioButton* oddButton_ = nullptr;
    QRadioButton* evenButton_ = nullptr;
    QCheckBox* compensateBox_ = nullptr;
    QPushButton* defaultsButton_ = nullptr;
    QLabel* lengthValue_ = nullptr;
    QLabel* rippleValue_ = nullptr;
    QLabel* attenValue_ = nullptr;
    QLabel* aliasValue_ = nullptr;
    QLabel* cicAliasValue_ = nullptr;
    QLabel* methodValue_ = nullptr;
    QLabel* verdict_ = nullptr;
    ResponsePlotArea* plot_ = nullptr;
    QLabel* spanLabel_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace gc
