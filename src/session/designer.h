// The PFIR designer as the window and the batch tool share it: the channel a
// design is for, the request read from what was typed, the default request
// and its attenuation lowered to what the length reaches, the split request.
// The maths is in filters/pfir_design.h, the save among the commands; each
// front end words the causes itself.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "filters/decimation_splits.h"
#include "filters/pfir_design.h"
#include "session/session.h"

namespace gc {

// The selected channel's clock, input mode and decimations as set.
DdcChannel DesignChannelOf(const Session& m, int channel);
// Its total decimation and the input mode's CIC range, for the splits.
DdcChannel DesignSplitChannelOf(const Session& m, int channel);

// A request as typed: each field's text by PfirDesignField (nullopt: not
// given, the default stays), the unit the edges are typed in, the flags.
struct DesignRequestText {
    std::array<std::optional<std::string>, 4> fields;
    double edgeUnitHz = 1.0;
    bool evenLength = false;
    bool compensateCic = true;
};

struct ParsedDesignRequest {
    PfirDesignRequest request;
    // Every field refused, at most one error each: the texts that are no
    // numbers first, then the checks of the rest, both in field order.
    std::vector<PfirRequestError> errors;
    bool ok() const { return errors.empty(); }
};
ParsedDesignRequest ParseDesignRequest(const DdcChannel& ch, const DesignRequestText& typed);

// The channel's default request with the flags, the ripple and (unless
// keepAtten is false) the attenuation taken from what is typed where that
// is a number above 0: the edges follow the channel, the rest stays.
PfirDesignRequest DefaultDesignRequest(const DdcChannel& ch, const DesignRequestText& typed, bool keepAtten);

// The attenuation of a default request: one the length cannot reach is
// lowered to what its searched 16-bit set does, a few times at most per
// channel; a typed one stays as typed.
class DefaultAttenuation {
public:
    static constexpr int kMaxLowerings = 3;
    bool IsDefault() const { return default_; }
    void Typed() { default_ = false; }
    // "По умолчанию": the default again, lowered afresh.
    void Restore() {
        default_ = true;
        lowerings_ = 0;
    }
    // A new channel: lowered afresh when it is still the default.
    void NewChannel() {
        if (default_) lowerings_ = 0;
    }
    // The attenuation to design with instead, or nullopt to keep the request.
    std::optional<double> Lower(const PfirDesign& searched, const PfirDesignRequest& r);

private:
    bool default_ = true;
    int lowerings_ = 0;
};

// The design the channel's stored request asks for, or nullopt when it has
// no passband edge of its own (the designer then offers its default): the
// passband edge, the stopband edge (Fout - P when not stored) at most Fout - P
// and half the PFIR input rate, as every split row designs it; the ripple and
// attenuation stored; the flags as typed.
std::optional<PfirDesignRequest> StoredDesignRequest(const DdcChannel& ch, const ChainRequest& stored,
                                                     const DesignRequestText& typed);
// The request a design was made for, as the channel stores it.
ChainRequest ChainRequestOfDesign(const PfirDesignRequest& r);

// The splits asked for alongside a design: its ripple and attenuation, and
// its passband and stopband edges where P lies below half the output rate; without a
// request the splits' own defaults.
SplitRequest DesignSplitRequest(const DdcChannel& ch, const std::optional<PfirDesignRequest>& design);

}  // namespace gc
