#include "gui/app_windows.h"

#include <initializer_list>

#include "gui/err_file_coeff.h"
#include "gui/message_dialogs.h"
#include "gui/tgform.h"

namespace gc {

AppWindows::AppWindows(Session& m, const Workspace& workspace)
    : gform_(std::make_unique<TGForm>(m, workspace)),
      errFileCoeff_(std::make_unique<TErrFileCoeff>()),
      coefErrors_(std::make_unique<DialogCoefFileErrors>(*errFileCoeff_)),
      errDecim_(std::make_unique<TErrDecim>()),
      errMinDecim_(std::make_unique<TErrMinDecim>()),
      info_(std::make_unique<TInfo>()) {
    // Closing the main window ends the program, even while a notice or the
    // information box is still open beside it.
    for (QWidget* w :
         std::initializer_list<QWidget*>{errFileCoeff_.get(), errDecim_.get(), errMinDecim_.get(), info_.get()})
        w->setAttribute(Qt::WA_QuitOnClose, false);
    gform_->SetCoefErrorSink(coefErrors_.get());
    gform_->SetDialogs({
        [this](const QString& totals) { errDecim_->ShowDecimMismatch(totals); },
        [this](const QString& modeLine) { errMinDecim_->ShowMinDecim(modeLine); },
        [this] { info_->ShowInfo(); },
    });
}

AppWindows::~AppWindows() = default;

}  // namespace gc
