#include "app/ui/app_windows.h"

#include "app/ui/tgform.h"
#include "dialogs/ui/err_file_coeff.h"
#include "dialogs/ui/message_dialogs.h"

namespace gc {

AppWindows::AppWindows(Model& m)
    : gform_(std::make_unique<TGForm>(m)),
      errFileCoeff_(std::make_unique<TErrFileCoeff>()),
      coefErrors_(std::make_unique<DialogCoefFileErrors>(*errFileCoeff_)),
      errDecim_(std::make_unique<TErrDecim>()),
      errMinDecim_(std::make_unique<TErrMinDecim>()),
      info_(std::make_unique<TInfo>()) {
    gform_->SetCoefErrorSink(coefErrors_.get());
    gform_->SetDialogs({
        [this] { errDecim_->ShowDecimMismatch(); },
        [this](const QString& modeLine) { errMinDecim_->ShowMinDecim(modeLine); },
        [this] { info_->ShowInfo(); },
    });
}

AppWindows::~AppWindows() = default;

}  // namespace gc
