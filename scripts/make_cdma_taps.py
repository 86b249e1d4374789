#!/usr/bin/env python3
"""Writes the example coefficient files examples/workspace/FILTERS/cdma.taps and,
with a tap count, others such as cdma31.taps.

A 63-tap (or NTAPS-tap, odd) lowpass (windowed sinc, Blackman window, cut-off at 0.2 of the PFIR
input rate), mirror-symmetric, scaled so that the taps sum to exactly 65536:
the FIR shift then brings the PFIR gain to 1. One tap per line, " %d".

The example configuration (CIC 2, PFIR 1) runs at most 31 taps: its channels
use cdma31.taps, so that the first start shows no cut set.

Usage: make_cdma_taps.py [OUTPUT [NTAPS]]
"""
import math
import os
import sys

NTAPS = 63
CUTOFF = 0.2  # cycles per input sample
TARGET_SUM = 65536


def windowed_sinc(ntaps, cutoff):
    mid = (ntaps - 1) / 2
    taps = []
    for k in range(ntaps):
        t = k - mid
        ideal = 2 * cutoff if t == 0 else math.sin(2 * math.pi * cutoff * t) / (math.pi * t)
        # Window over ntaps + 2 points, so that the end taps are not zero.
        x = (k + 1) / (ntaps + 1)
        w = 0.42 - 0.5 * math.cos(2 * math.pi * x) + 0.08 * math.cos(4 * math.pi * x)
        taps.append(ideal * w)
    return taps


def quantise(taps, target):
    scale = target / sum(taps)
    half = len(taps) // 2
    # Round one half and mirror it, so the set stays exactly symmetric; the
    # centre tap takes up the rounding so that the sum is exact.
    q = [int(math.floor(x * scale + 0.5)) for x in taps[:half]]
    centre = target - 2 * sum(q)
    return q + [centre] + q[::-1]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "examples", "workspace", "FILTERS", "cdma.taps")
    ntaps = int(sys.argv[2]) if len(sys.argv) > 2 else NTAPS
    assert ntaps % 2 == 1
    taps = quantise(windowed_sinc(ntaps, CUTOFF), TARGET_SUM)
    assert len(taps) == ntaps and taps == taps[::-1] and sum(taps) == TARGET_SUM
    assert max(abs(v) for v in taps) <= 32767
    with open(out, "w", newline="\n") as f:
        f.writelines(" %d\n" % v for v in taps)


if __name__ == "__main__":
    main()
