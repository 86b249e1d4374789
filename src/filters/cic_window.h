// What the CIC response window shows, computed without a window: the CIC
// curve over its own zoom, the aliasing view that folds every Nyquist zone of
// the CIC input onto the output band, the axis captions and the cursor
// read-outs. The window only paints a CicWindowFrame.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/model.h"
#include "filters/responses.h"
#include "filters/window_cursor.h"

namespace gc {

inline constexpr int CicWindowStretchMax = 512;

struct CicWindowState {
    int CicWindowStretch = 1;  // 1, 2, 4 .. CicWindowStretchMax
    int CicAliasMode = 0;      // 0 normal view, 1 aliasing view
    WindowCursor cursor;
};

// What a redraw reads from the model.
struct CicWindowInputs {
    int32_t systemClock = 0;  // input sample rate, Hz
    int N = 1;                // the channel's CicDec setting
    int R = 1;                // the channel's cic_dec register field
    bool operator==(const CicWindowInputs&) const = default;
};
CicWindowInputs CicWindowInputsOf(const Settings& s, const RegisterImage& work, int channel);

// Normal view: r = sin((N/a) i step) / sin(i step / a), step = pi/512,
// rectified, floored and raised to the fifth power; point 0 is the DC limit N^5.
void ComputeCicWindowResponse(int N, int a, ResponseCurve& out);

// Zone m of the aliasing view: column i stands for (i + 256 m) / (512 R) of
// the input rate. Point 0 is N^5 in zone 0 (DC) and point 1 in the others.
// R below 1 gives the floor everywhere.
void ComputeCicZoneResponse(int N, int R, int m, ResponseCurve& out);

// Evaluates many zones of one (N, R) quickly: the sines of the 256 column
// angles are tabled once, and each zone's start angle is added to them.
class CicZoneEvaluator {
public:
    CicZoneEvaluator(int N, int R);
    void Zone(int m, ResponseCurve& out) const;
    // Zone m as it lands on the output band: an even zone as it stands, an odd
    // one folded, its column k at (256 (m + 1) - k) / (512 R) of the input rate,
    // the frequency that aliases onto column k.
    void Folded(int m, ResponseCurve& out) const;

private:
    // Column i at the zone's start plus sign * i steps.
    void Evaluate(int64_t start, int sign, ResponseCurve& out) const;

    bool valid_;
    int n_ = 0;
    int64_t turn_ = 1;  // a whole turn in steps of pi / (512 R)
    double step_ = 0;
    std::array<double, kResponsePoints> numSin_{}, numCos_{}, denSin_{}, denCos_{};
};

// The aliasing view: N zones (at most kCicDecMax), each normalised to the
// maximum of zone 0, odd zones folded (CicZoneEvaluator::Folded); rows in pixels
// (2 pixels per dB below the top).
struct CicAliasView {
    double zoneMax = 0;
    std::vector<std::array<int, kResponsePoints>> rows;
};
CicAliasView ComputeCicAliasView(int N, int R);

struct CicWindowLabels {
    std::array<std::string, 4> denominators;  // of 1/.., 1/.., 3/.., 1/..
    std::array<std::string, 4> mhzTicks;
    std::string stretch;    // the zoom box
    std::string axisTitle;  // "F/Fsinp" or "F/Fsout"
};
CicWindowLabels ComputeCicWindowLabels(const CicWindowInputs& in, const CicWindowState& s);

// Everything one redraw paints.
struct CicWindowFrame {
    bool alias = false;
    int markerColumn = -1;                      // normal view only; may lie beyond the area; -1 none
    std::array<int, kResponsePoints> curveY{};  // normal view
    ResponseCurve response{};                   // normal view: the linear values behind curveY
    CicAliasView aliasView;                     // aliasing view: red curves
    int cursorColumn = -1;
    int cursorLineY = -1;
    std::string xReadout;      // MHz
    std::string levelReadout;  // dB
    CicWindowLabels labels;
};

// The curves of one view: what a change of the model or of the zoom
// recomputes. A cursor move draws from them without evaluating the CIC again
// (in the aliasing view at decimation 1024 that is 1024 zones).
struct CicWindowCurves {
    CicWindowInputs in;
    int stretch = 0;     // normal view
    int aliasMode = -1;  // -1: nothing computed yet
    ResponseCurve response{};
    double max = 0;
    std::array<int, kResponsePoints> curveY{};
    CicAliasView aliasView;
};
// Whether c holds the curves of the view s of inputs in.
bool CicCurvesFit(const CicWindowCurves& c, const CicWindowInputs& in, const CicWindowState& s);
CicWindowCurves ComputeCicWindowCurves(const CicWindowInputs& in, const CicWindowState& s);

// The frame drawn from curves that fit (CicCurvesFit); the normal view's curve
// is copied in, the aliasing view's zones are not (1024 of them stay c's
// alone: a cursor move must not copy them). In the normal
// view the cursor line snaps to the curve (s.cursor.lineY is updated as a
// redraw does).
CicWindowFrame CicWindowFrameOf(const CicWindowInputs& in, const CicWindowCurves& c, CicWindowState& s);
// Both at once, the zones moved into the frame: what the batch tool prints.
CicWindowFrame ComputeCicWindowFrame(const CicWindowInputs& in, CicWindowState& s);

// Zoom buttons; true when the window must redraw.
bool CicZoomDouble(CicWindowState& s);
bool CicZoomHalve(CicWindowState& s);
bool CicZoomMax(CicWindowState& s);
bool CicZoomReset(CicWindowState& s);

}  // namespace gc
