// The CIC and PFIR windows' curves as numbers, for their "Экспорт…" as CSV:
// one row per plot column at its frequency in MHz, and per curve shown its
// linear value and its level in dB as the window draws it. The PFIR window's
// impulse view exports its taps instead.
#pragma once

#include <cstdint>
#include <string>

#include "filters/cic_window.h"
#include "filters/curve_csv.h"
#include "filters/pfir_window.h"

namespace gc {

// Normal view: the curve "cic" over the window's zoom, its levels below its
// maximum. Aliasing view: every zone drawn, "zone0", "zone1", ..., odd zones
// folded onto the output band, all levels below the maximum of zone 0 (as drawn).
CurveTable CicWindowCurves(const CicWindowInputs& in, const CicWindowState& s);

// The frequency view: the curve "pfir" over a fraction of its input rate.
CurveTable PfirWindowCurves(const PfirWindowInputs& in, const PfirWindowState& s);

// The impulse view: "index,tap", then one line per tap in use (at most 512).
std::string FormatTapsCsv(const int32_t* taps, int count);

}  // namespace gc
