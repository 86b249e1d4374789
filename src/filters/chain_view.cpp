#include "filters/chain_view.h"

#include <algorithm>
#include <cmath>

#include "core/number_format.h"
#include "core/text_io.h"

namespace gc {

namespace {

double BandEnd(const ChainAnalysis& a) { return a.outputRateHz > 0 ? a.outputRateHz / 2.0 : 1.0; }

std::string Khz(double hz) { return FormatFixed(hz / 1000.0, 12, 3) + " кГц"; }

std::string Db(double db) { return std::isfinite(db) ? FormatFixed(db, 8, 2) + " дБ" : std::string("нет"); }

}  // namespace

ChainViewRange FullChainView(const ChainAnalysis& a) { return {0.0, BandEnd(a), 10.0, -160.0}; }

ChainViewRange ZoomChainView(const ChainViewRange& v, const ChainAnalysis& a, double aboutHz, double factor) {
    const double end = BandEnd(a);
    const double span = std::clamp((v.f1 - v.f0) * factor, end * 1e-6, end);
    const double t = v.f1 > v.f0 ? std::clamp((aboutHz - v.f0) / (v.f1 - v.f0), 0.0, 1.0) : 0.5;
    double f0 = aboutHz - t * span;
    f0 = std::clamp(f0, 0.0, end - span);
    ChainViewRange r = v;
    r.f0 = f0;
    r.f1 = f0 + span;
    return r;
}

std::optional<ChainViewRange> ChainViewOfBand(const ChainViewRange& v, double fA, double fB, double dbA, double dbB) {
    const double f0 = std::min(fA, fB), f1 = std::max(fA, fB);
    const double top = std::max(dbA, dbB), bottom = std::min(dbA, dbB);
    if (f1 - f0 < (v.f1 - v.f0) * 1e-3 || top - bottom < (v.dbTop - v.dbBottom) * 1e-3) return std::nullopt;
    return ChainViewRange{f0, f1, top, bottom};
}

double ChainViewX(const ChainViewRange& v, double hz, int width) { return (hz - v.f0) / (v.f1 - v.f0) * width; }
double ChainViewHz(const ChainViewRange& v, double x, int width) { return v.f0 + x / width * (v.f1 - v.f0); }
double ChainViewY(const ChainViewRange& v, double db, int height) {
    return (v.dbTop - db) / (v.dbTop - v.dbBottom) * height;
}
double ChainViewDb(const ChainViewRange& v, double y, int height) {
    return v.dbTop - y / height * (v.dbTop - v.dbBottom);
}

std::vector<double> ChainTicks(double lo, double hi, int maxTicks) {
    std::vector<double> ticks;
    if (!(hi > lo) || maxTicks < 1) return ticks;
    const double raw = (hi - lo) / maxTicks;
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    double step = mag;
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * mag >= raw) {
            step = m * mag;
            break;
        }
    for (double t = std::ceil(lo / step) * step; t <= hi + step * 1e-9; t += step)
        ticks.push_back(std::abs(t) < step * 1e-9 ? 0.0 : t);
    return ticks;
}

std::string ChainFrequencyTick(double hz, double stepHz) {
    const double stepKhz = stepHz / 1000.0;
    const int decimals = stepKhz >= 1 ? 0 : std::min(6, static_cast<int>(std::ceil(-std::log10(stepKhz) - 1e-9)));
    return StrPrintf("%.*f", decimals, hz / 1000.0);
}

std::vector<std::pair<std::string, std::string>> ChainFigureLines(const ChainAnalysis& a) {
    const ChainFigures& f = a.figures;
    return {
        {"Частота на входе CIC", Khz(a.inputRateHz)},
        {"Децимация CIC / PFIR", std::to_string(a.cicDec) + " / " + std::to_string(a.firDec)},
        {"Частота на выходе", Khz(a.outputRateHz)},
        {"Граница полосы пропускания", Khz(a.passHz)},
        {"Неравномерность в полосе", Db(f.passbandRippleDb)},
        {"Подавление наложений", Db(f.aliasRejectionDb)},
        {"Худшее наложение на", std::isfinite(f.aliasRejectionDb) ? Khz(f.worstAliasHz) : std::string("нет")},
        {"из входной частоты", std::isfinite(f.aliasRejectionDb) ? Khz(f.worstAliasSourceHz) : std::string("нет")},
        {"Подавление наложений CIC", Db(f.cicAliasRejectionDb)},
    };
}

ChainCursorText ChainCursorAt(const ChainAnalysis& a, const ChainLevels& l, double hz) {
    ChainCursorText c;
    const size_t n = a.freqHz.size();
    if (n < 2 || l.wantedDb.size() != n) return c;
    const double step = a.freqHz[1] - a.freqHz[0];
    const auto i = static_cast<size_t>(std::clamp(std::lround(hz / step), 0L, static_cast<long>(n - 1)));
    c.point = static_cast<int>(i);
    c.freq = Khz(a.freqHz[i]);
    c.wanted = Db(l.wantedDb[i]);
    c.image = Db(l.imageDb[i]);
    c.cicImage = Db(l.cicImageDb[i]);
    c.source = a.image[i] > 0 ? Khz(a.imageSource[i]) : std::string("нет");
    return c;
}

}  // namespace gc
