#include "app/ui/app_windows.h"

#include "app/ui/tgform.h"

namespace gc {

AppWindows::AppWindows(Model& m) : gform_(std::make_unique<TGForm>(m)) {}

AppWindows::~AppWindows() = default;

}  // namespace gc
