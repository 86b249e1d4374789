// The program's windows, created once at start in a fixed order and reused
// until exit.
#pragma once

#include <memory>

#include "core/workspace.h"
#include "session/session.h"

namespace gc {

class MainWindow;
class CicResponseWindow;
class PfirResponseWindow;
class ChainWindow;
class CompareWindow;
class CoefFileErrorDialog;
class DecimMismatchNotice;
class MinDecimNotice;
class InfoDialog;
class DialogCoefFileErrors;
class PfirDesignDialog;
class RegisterWindows;

class AppWindows {
public:
    AppWindows(Session& m, const Workspace& workspace);
    ~AppWindows();

    MainWindow* gform() const { return gform_.get(); }
    CicResponseWindow* cicForm() const { return cicForm_.get(); }
    PfirResponseWindow* pfirForm() const { return pfirForm_.get(); }
    ChainWindow* chainWindow() const { return chainWindow_.get(); }
    CompareWindow* compareWindow() const { return compareWindow_.get(); }
    CoefFileErrorDialog* errFileCoeff() const { return errFileCoeff_.get(); }
    DecimMismatchNotice* errDecim() const { return errDecim_.get(); }
    MinDecimNotice* errMinDecim() const { return errMinDecim_.get(); }
    InfoDialog* info() const { return info_.get(); }
    PfirDesignDialog* pfirDesign() const { return pfirDesign_.get(); }
    RegisterWindows* registerWindows() const { return registerWindows_.get(); }

private:
    // The plots are fed the shown channel's values; nothing is computed here.
    void FeedPlots();

    Session& m_;
    // Declared in creation order; destroyed in the reverse.
    std::unique_ptr<MainWindow> gform_;
    std::unique_ptr<CicResponseWindow> cicForm_;
    std::unique_ptr<PfirResponseWindow> pfirForm_;
    std::unique_ptr<CoefFileErrorDialog> errFileCoeff_;
    std::unique_ptr<DialogCoefFileErrors> coefErrors_;
    std::unique_ptr<RegisterWindows> registerWindows_;
    std::unique_ptr<DecimMismatchNotice> errDecim_;
    std::unique_ptr<MinDecimNotice> errMinDecim_;
    std::unique_ptr<InfoDialog> info_;
    std::unique_ptr<PfirDesignDialog> pfirDesign_;
    std::unique_ptr<ChainWindow> chainWindow_;
    std::unique_ptr<CompareWindow> compareWindow_;
};

}  // namespace gc
