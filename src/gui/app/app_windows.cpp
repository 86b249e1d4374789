#include "gui/app/app_windows.h"

#include <QDate>
#include <array>
#include <initializer_list>

#include "gui/app/guide.h"
#include "gui/dialogs/coef_file_error_dialog.h"
#include "gui/dialogs/compare_window.h"
#include "gui/dialogs/message_dialogs.h"
#include "gui/dialogs/pfir_design_dialog.h"
#include "gui/dialogs/register_windows.h"
#include "gui/dialogs/sync_dialog.h"
#include "gui/main_window/main_window.h"
#include "gui/plots/chain_window.h"
#include "gui/plots/cic_response_window.h"
#include "gui/plots/pfir_response_window.h"
#include "gui/plots/response_plot.h"

namespace gc {

AppWindows::AppWindows(Session& m, const Workspace& workspace)
    : m_(m),
      gform_(std::make_unique<MainWindow>(m, workspace)),
      cicForm_(std::make_unique<CicResponseWindow>()),
      pfirForm_(std::make_unique<PfirResponseWindow>()),
      errFileCoeff_(std::make_unique<CoefFileErrorDialog>()),
      coefErrors_(std::make_unique<DialogCoefFileErrors>(*errFileCoeff_)),
      registerWindows_(std::make_unique<RegisterWindows>(m.settings, m.workImage)),
      errDecim_(std::make_unique<DecimMismatchNotice>()),
      errMinDecim_(std::make_unique<MinDecimNotice>()),
      info_(std::make_unique<InfoDialog>()),
      pfirDesign_(std::make_unique<PfirDesignDialog>(m, workspace,
                                                     [this](const std::filesystem::path& file, const ChainRequest& r) {
                                                         gform_->ApplyUserEdit(edit::CoefFile{file, r});
                                                     })),
      chainWindow_(std::make_unique<ChainWindow>()) {
    // Closing the main window ends the program, even while a notice or the
    // information box is still open beside it.
    for (QWidget* w :
         std::initializer_list<QWidget*>{cicForm_.get(), pfirForm_.get(), errFileCoeff_.get(), errDecim_.get(),
                                         errMinDecim_.get(), info_.get(), pfirDesign_.get(), chainWindow_.get()})
        w->setAttribute(Qt::WA_QuitOnClose, false);
    // The plot windows open from the main window, fed its channel, and follow its edits while open.
    const std::array<SeparatePlotWindow*, 3> plotWindows{cicForm_.get(), pfirForm_.get(), chainWindow_.get()};
    QObject::connect(gform_.get(), &MainWindow::cicWindowRequested, cicForm_.get(), [this] {
        FeedPlots();
        cicForm_->Open();
    });
    QObject::connect(gform_.get(), &MainWindow::pfirWindowRequested, pfirForm_.get(), [this] {
        FeedPlots();
        pfirForm_->Open();
    });
    QObject::connect(gform_.get(), &MainWindow::chainWindowRequested, chainWindow_.get(), [this] {
        FeedPlots();
        chainWindow_->Open();
    });
    compareWindow_ = std::make_unique<CompareWindow>(*gform_);
    compareWindow_->setAttribute(Qt::WA_QuitOnClose, false);
    QObject::connect(gform_.get(), &MainWindow::compareWindowRequested, compareWindow_.get(), &CompareWindow::Open);
    // The other configuration's curves in "Анализ тракта", which opens for them.
    QObject::connect(compareWindow_.get(), &CompareWindow::overlayChanged, chainWindow_.get(), [this] {
        const auto other = compareWindow_->OverlayChannels();
        chainWindow_->SetOverlay(other, compareWindow_->OtherName());
        if (other && !chainWindow_->IsOpen()) {
            FeedPlots();
            chainWindow_->Open();
        }
    });
    // Their exports start in the working folder, as the main plot's does, and
    // name the configuration and channel of the moment they are written.
    const auto caption = [this] {
        return PlotCaptionText(m_.currentLabName, m_.CurrentChannel, QDate::currentDate(),
                               gform_->started() && gform_->history().Modified(m_.settings));
    };
    for (SeparatePlotWindow* w : plotWindows) {
        w->SetExportFolder(QString::fromStdString(workspace.root.string()));
        w->SetCaptionSource(caption);
    }
    gform_->plot()->SetCaptionSource(caption);
    // Feeding only copies values: the plots compute when they draw.
    gform_->hooks().refresh.push_back([this] { FeedPlots(); });
    gform_->hooks().responseWindows.push_back([this, plotWindows] {
        FeedPlots();
        for (SeparatePlotWindow* w : plotWindows) w->RefreshIfOpen();
    });
    // The exports say in the main window's status line what they wrote.
    auto status = [this](const QString& text) { gform_->ShowStatus(text.toStdString()); };
    QObject::connect(gform_->plot(), &ResponsePlotPanel::statusMessage, gform_.get(), status);
    QObject::connect(cicForm_.get(), &ResponseWindow::statusMessage, gform_.get(), status);
    QObject::connect(pfirForm_.get(), &ResponseWindow::statusMessage, gform_.get(), status);
    QObject::connect(chainWindow_.get(), &ChainWindow::statusMessage, gform_.get(), status);
    QObject::connect(chainWindow_.get(), &ChainWindow::requestEdited, gform_.get(),
                     [this](int channel, const ChainRequest& r) {
                         gform_->ApplyUserEdit(edit::Request{channel, r});
                     });
    gform_->hooks().coefErrors = coefErrors_.get();
    registerWindows_->Attach(*gform_);
    gform_->hooks().dialogs = MainDialogs{
        [this](const QString& totals) { errDecim_->ShowDecimMismatch(totals); },
        [this](const QString& modeLine) { errMinDecim_->ShowMinDecim(modeLine); },
        [this] { info_->ShowInfo(); },
        [this] { pfirDesign_->Open(); },
        [this] {
            errDecim_->close();
            errMinDecim_->close();
        },
    };
    pfirDesign_->SetApplySplit(
        [this](int cicDec, int firDec, const std::filesystem::path& file, const ChainRequest& r) {
            gform_->ApplyUserEdit(edit::DecimationSplit{cicDec, firDec, file, r});
        });
    pfirDesign_->SetStoreRequest([this](const ChainRequest& r) { gform_->ApplyUserEdit(edit::Request{-1, r}); });
    gform_->hooks().refresh.push_back([this] { pfirDesign_->Refresh(); });
    // F1 in a secondary window opens the guide at that window's section.
    InstallGuideKey(cicForm_.get(), GuideSection::CicWindow);
    InstallGuideKey(pfirForm_.get(), GuideSection::PfirWindow);
    InstallGuideKey(chainWindow_.get(), GuideSection::ChainWindow);
    InstallGuideKey(pfirDesign_.get(), GuideSection::Designer);
}

AppWindows::~AppWindows() = default;

void AppWindows::FeedPlots() {
    const int ch = m_.CurrentChannel;
    gform_->plot()->SetAxes(PlotAxesOf(m_.settings, m_.workImage, ch));
    cicForm_->SetChannel(ch, CicWindowInputsOf(m_.settings, m_.workImage, ch));
    pfirForm_->SetChannel(ch, PfirWindowInputsOf(m_.settings, m_, ch), AnalyseFilterLength(m_.settings, m_, ch));
    chainWindow_->SetChannel(ch, ChainChannelOf(m_.settings, m_, ch));
    chainWindow_->SetRequest(ChannelChainRequest(m_.settings, ch));
}

}  // namespace gc
