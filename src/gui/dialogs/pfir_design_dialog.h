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
#include <vector>

#include "core/workspace.h"
#include "gui/app/file_chooser.h"
#include "gui/app/worker_job.h"
#include "session/designer.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace gc {

class PlotView;

class PfirDesignDialog : public QWidget {
    Q_OBJECT

public:
    // useFile makes a written file the selected channel's coefficient file,
    // as "Файл" does, and the request it was designed for the channel's: one step.
    using UseFile = std::function<void(const std::filesystem::path&, const ChainRequest&)>;
    PfirDesignDialog(const Session& m, Workspace workspace, UseFile useFile, QWidget* parent = nullptr);
    ~PfirDesignDialog() override;

    // Sets the channel's CIC and PFIR decimations, makes the file its
    // coefficient file and the request its own, as one step to undo.
    using ApplySplit =
        std::function<void(int cicDec, int firDec, const std::filesystem::path& file, const ChainRequest& request)>;
    void SetApplySplit(ApplySplit apply) { applySplit_ = std::move(apply); }
    // Stores a request typed into the fields as the channel's (one step to undo).
    using StoreRequest = std::function<void(const ChainRequest& request)>;
    void SetStoreRequest(StoreRequest store) { storeRequest_ = std::move(store); }

    void SetFileChooser(FileChooser* chooser) { chooser_ = chooser ? chooser : &dialogChooser_; }

    // Shows the window, with the default request when the channel is new to it.
    void Open();
    // After every refresh of the main window: a channel whose clock, mode or
    // decimations changed gets the default request again.
    void Refresh();
    // Designs now from the fields as they stand (the fields also do it shortly
    // after each edit): the rounded set at once, the search over its 16-bit
    // taps on a worker thread, its result replacing the rounded one.
    void Recompute();
    bool SearchRunning() const { return search_.Running(); }
    // "Сохранить".
    void Save();

    // "Разбиения": designs every split of the channel's total decimation on a
    // worker thread, the rows appearing as they are done.
    void ComputeSplits();
    // "Применить": the selected row's design saved as the channel's file, with its decimations.
    void ApplySelectedSplit();
    // "Подобрать": every split designed at the request, the best row applied.
    void PickSplit();
    bool SplitsRunning() const { return splits_.Running(); }
    const std::vector<SplitRow>& splitRows() const { return splitRows_; }

    const std::optional<PfirDesign>& design() const { return design_; }
    PlotView* plot() const { return plot_; }

private:
    void BuildLayout();
    // Takes the selected channel and its stored request; a channel without
    // one of its own gets the default request.
    void Follow();
    DdcChannel ChannelNow() const;
    // The fields and flags as they stand.
    DesignRequestText TypedRequest() const;
    void ShowRequest(const PfirDesignRequest& r);
    // "По умолчанию": every field, the length and the compensation as on a first opening.
    void RestoreDefaults();
    // Reads the fields; shows a message beside each refused one. nullopt when any is refused.
    std::optional<PfirDesignRequest> ReadRequest();
    void OnEdited();
    void ShowDesign();
    void SetStatus(const QString& text, bool error);
    // Asks for a file in FILTERS/ and writes the taps; the path, or nullopt (said in the status line).
    std::optional<std::filesystem::path> SaveTaps(const std::vector<int32_t>& taps, QString& shown);
    void StopSearch();
    // Takes the search's result, of this generation only (waits for the worker to return).
    void OnSearched(int generation);
    void StopSplits();
    void ClearSplits();
    void OnSplitRow(int generation, const SplitRow& row);
    // Row r of splitRows_ into the table; the best one in bold.
    void ShowSplitRow(int r, bool best);
    // "Применить" only for a designed row, once every row is in.
    void UpdateApplyButton();

    const Session& m_;
    Workspace workspace_;
    UseFile useFile_;
    StoreRequest storeRequest_;
    // The channel's stored request the fields were last set from (or stored as).
    std::optional<ChainRequest> followedRequest_;
    bool typed_ = false;  // the next design is of fields the user typed: stored once designed
    DialogFileChooser dialogChooser_;
    FileChooser* chooser_ = &dialogChooser_;
    std::optional<DdcChannel> shownChannel_;
    int shownChannelIndex_ = -1;
    std::optional<PfirDesign> design_;
    PfirDesignRequest request_;  // what design_ was asked for
    QTimer designTimer_;
    ApplySplit applySplit_;

    // The search over the shown design's 16-bit taps; the worker leaves its
    // result here before it posts, and the window reads it after Finish.
    WorkerJob search_;
    std::optional<PfirDesign> searchResult_;
    // Whether the attenuation shown is the default one, and its lowering.
    DefaultAttenuation defaultAtten_;

    // The worker designing the split rows, one posted at a time.
    WorkerJob splits_;
    int splitsExpected_ = 0;
    std::optional<DdcChannel> splitChannel_;
    std::vector<SplitRow> splitRows_;
    SplitRequest splitRequest_;  // what the rows were designed for
    bool pickWhenDone_ = false;  // "Подобрать": apply the best row once every row is in

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
    QLabel* tradeValue_ = nullptr;  // the ripple used of the allowed, the attenuation's margin
    QLabel* verdict_ = nullptr;
    QLabel* searchNote_ = nullptr;
    QLabel* defaultNote_ = nullptr;
    PlotView* plot_ = nullptr;
    QLabel* spanLabel_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* splitsButton_ = nullptr;
    QProgressBar* splitsProgress_ = nullptr;
    QTableWidget* splitsTable_ = nullptr;
    QPushButton* applySplitButton_ = nullptr;
    QPushButton* pickButton_ = nullptr;
};

}  // namespace gc
