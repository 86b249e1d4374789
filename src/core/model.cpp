#include "core/model.h"

namespace gc {

namespace {
const char* const kBoardNames[4] = {"TORVIN-A", "TORVIN-B", "TORVIN-C", "TORVIN-D"};
const char* const kCaptions[4] = {"Конфигуратор DDC GC5016 для TORVIN-A", "Конфигуратор DDC GC5016 для TORVIN-B",
                                  "Конфигуратор DDC GC5016 для TORVIN-C", "Конфигуратор DDC GC5016 для TORVIN-D"};
const char* const kLabHeaders[4] = {
    "*** LabFile DDC GC5016 for TORVIN-A ***", "*** LabFile DDC GC5016 for TORVIN-B ***",
    "*** LabFile DDC GC5016 for TORVIN-C ***", "*** LabFile DDC GC5016 for TORVIN-D ***"};

int Clamp(int model) { return model < 0 ? 0 : model > 3 ? 3 : model; }
}  // namespace

const char* BoardName(int model) { return kBoardNames[Clamp(model)]; }
const char* BoardCaption(int model) { return kCaptions[Clamp(model)]; }
const char* LabHeader(int model) { return kLabHeaders[Clamp(model)]; }

}  // namespace gc
