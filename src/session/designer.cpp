#include "session/designer.h"

#include <algorithm>

#include "core/number_format.h"

namespace gc {

DdcChannel DesignChannelOf(const Session& m, int channel) {
    const int c = std::clamp(channel, 0, kChannels - 1);
    const Settings& s = m.settings;
    return ChannelAt(s.SystemClock, s.ModeOfInput, s.CicDec[c], s.FirDec[c]);
}

DdcChannel DesignSplitChannelOf(const Session& m, int channel) { return SplitChannelOf(m.settings, m, m, channel); }

namespace {

double* FieldValue(PfirDesignRequest& r, size_t field) {
    double* values[] = {&r.passHz, &r.stopHz, &r.rippleDb, &r.attenDb};
    return values[field];
}

// The flags and every field typed as a number, in Hz and dB.
PfirDesignRequest Typed(const DesignRequestText& typed, std::vector<PfirDesignField>& notNumbers) {
    PfirDesignRequest r;
    r.evenLength = typed.evenLength;
    r.compensateCic = typed.compensateCic;
    for (size_t i = 0; i < typed.fields.size(); ++i) {
        if (!typed.fields[i]) continue;
        const bool edge = i <= static_cast<size_t>(PfirDesignField::Stop);
        if (const auto v = ParseDesignNumber(*typed.fields[i]))
            *FieldValue(r, i) = *v * (edge ? typed.edgeUnitHz : 1.0);
        else
            notNumbers.push_back(static_cast<PfirDesignField>(i));
    }
    return r;
}

}  // namespace

ParsedDesignRequest ParseDesignRequest(const DdcChannel& ch, const DesignRequestText& typed) {
    ParsedDesignRequest p;
    std::vector<PfirDesignField> notNumbers;
    p.request = Typed(typed, notNumbers);
    for (PfirDesignField f : notNumbers)
        p.errors.push_back({f, PfirRequestCause::NotANumber, 0, *typed.fields[static_cast<size_t>(f)]});
    for (PfirRequestError& e : CheckPfirDesignRequest(ch, p.request))
        if (std::ranges::count(notNumbers, e.field) == 0) p.errors.push_back(std::move(e));
    return p;
}

PfirDesignRequest DefaultDesignRequest(const DdcChannel& ch, const DesignRequestText& typed, bool keepAtten) {
    const auto positive = [&](PfirDesignField f) -> std::optional<double> {
        const auto& text = typed.fields[static_cast<size_t>(f)];
        const auto v = text ? ParseDesignNumber(*text) : std::nullopt;
        return v && *v > 0 ? v : std::nullopt;
    };
    PfirDesignRequest base;
    base.evenLength = typed.evenLength;
    base.compensateCic = typed.compensateCic;
    if (const auto v = positive(PfirDesignField::Ripple)) base.rippleDb = *v;
    if (const auto v = positive(PfirDesignField::Atten); v && keepAtten) base.attenDb = *v;
    return DefaultPfirDesignRequest(ch, base);
}

std::optional<double> DefaultAttenuation::Lower(const PfirDesign& searched, const PfirDesignRequest& r) {
    if (!default_ || lowerings_ >= kMaxLowerings) return std::nullopt;
    const std::optional<double> reachable = ReachableDefaultAttenDb(searched, r);
    if (reachable) ++lowerings_;
    return reachable;
}

std::optional<PfirDesignRequest> StoredDesignRequest(const DdcChannel& ch, const ChainRequest& stored,
                                                     const DesignRequestText& typed) {
    if (!(stored.passHz > 0)) return std::nullopt;
    const ChainRequest r = ResolveChainRequest(ch, stored);
    PfirDesignRequest d;
    d.passHz = r.passHz;
    d.stopHz = DesignStopHz(ch, r.passHz, stored.stopHz);
    d.rippleDb = r.rippleDb;
    d.attenDb = r.attenDb;
    d.evenLength = typed.evenLength;
    d.compensateCic = typed.compensateCic;
    return d;
}

ChainRequest ChainRequestOfDesign(const PfirDesignRequest& r) {
    ChainRequest c;
    c.passHz = r.passHz;
    c.stopHz = r.stopHz;
    c.rippleDb = r.rippleDb;
    c.attenDb = r.attenDb;
    return c;
}

SplitRequest DesignSplitRequest(const DdcChannel& ch, const std::optional<PfirDesignRequest>& design) {
    SplitRequest request;
    if (design) {
        request.rippleDb = design->rippleDb;
        request.attenDb = design->attenDb;
        if (design->passHz < SplitOutputRateHz(ch) / 2.0) {
            request.passHz = design->passHz;
            // The edges go together: a stopband edge without its passband edge means nothing.
            if (design->stopHz > design->passHz) request.stopHz = design->stopHz;
        }
    }
    return request;
}

}  // namespace gc
