// The program's windows, created once at start in a fixed order and reused
// until exit.
#pragma once

#include <memory>

#include "core/workspace.h"
#include "session/session.h"

namespace gc {

class TGForm;
class TCIC5Form;
class TPFIRForm;
class ChainWindow;
class CompareWindow;
class TErrFileCoeff;
class TErrDecim;
class TErrMinDecim;
class TInfo;
class DialogCoefFileErrors;
class PfirDesignDialog;
class RegisterWindows;

class AppWindows {
public:
    AppWindows(Session& m, const Workspace& workspace);
    ~AppWindows();

    TGForm* gform() const { return gform_.get(); }
    TCIC5Form* cicForm() const { return cicForm_.get(); }
    TPFIRForm* pfirForm() const { return pfirForm_.get(); }
    ChainWindow* chainWindow() const { return chainWindow_.get(); }
    CompareWindow* compareWindow() const { return compareWindow_.get(); }
    TErrFileCoeff* errFileCoeff() const { return errFileCoeff_.get(); }
    TErrDecim* errDecim() const { return errDecim_.get(); }
    TErrMinDecim* errMinDecim() const { return errMinDecim_.get(); }
    TInfo* info() const { return info_.get(); }
    PfirDesignDialog* pfirDesign() const { return pfirDesign_.get(); }
    RegisterWindows* registerWindows() const { return registerWindows_.get(); }

private:
    // The plots are fed the shown channel's values; nothing is computed here.
    void FeedPlots();

    Session& m_;
    // Declared in creation order; destroyed in the reverse.
    std::unique_ptr<TGForm> gform_;
    std::unique_ptr<TCIC5Form> cicForm_;
    std::unique_ptr<TPFIRForm> pfirForm_;
    std::unique_ptr<TErrFileCoeff> errFileCoeff_;
    std::unique_ptr<DialogCoefFileErrors> coefErrors_;
    std::unique_ptr<RegisterWindows> registerWindows_;
    std::unique_ptr<TErrDecim> errDecim_;
    std::unique_ptr<TErrMinDecim> errMinDecim_;
    std::unique_ptr<TInfo> info_;
    std::unique_ptr<PfirDesignDialog> pfirDesign_;
    std::unique_ptr<ChainWindow> chainWindow_;
    std::unique_ptr<CompareWindow> compareWindow_;
};

}  // namespace gc
