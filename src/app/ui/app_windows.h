// The program's windows, created once at start in a fixed order and reused
// until exit.
#pragma once

#include <memory>

#include "app/model.h"

namespace gc {

class TGForm;

class AppWindows {
public:
    explicit AppWindows(Model& m);
    ~AppWindows();

    TGForm* gform() const { return gform_.get(); }

private:
    std::unique_ptr<TGForm> gform_;
};

}  // namespace gc
