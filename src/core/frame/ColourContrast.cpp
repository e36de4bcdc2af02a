#include "frame/ColourContrast.h"

#include <algorithm>
#include <cmath>

namespace ColourContrast {

namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
// Fine enough that the step between two candidates is below one level of a channel.
constexpr int kSteps = 256;

double Linear(int channel) {
    const double value = std::clamp(channel, 0, 255) / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

Rgb StrongerOf(Rgb first, Rgb second, Rgb background) {
    return Ratio(first, background) >= Ratio(second, background) ? first : second;
}

// The candidate nearest `near` on the way from `far` that keeps `ratio` against `against`.
// Every step is checked, not searched by halves: with channels moving apart, the ratio along
// the way need not be monotonic.
Rgb NearestKeeping(Rgb far, Rgb near, Rgb against, double ratio) {
    Rgb best = far;
    for (int step = 1; step <= kSteps; ++step) {
        const Rgb candidate = Mix(far, near, static_cast<double>(step) / kSteps);
        if (Ratio(candidate, against) >= ratio) {
            best = candidate;
        }
    }
    return best;
}

}  // namespace

double RelativeLuminance(Rgb colour) {
    return 0.2126 * Linear(colour.red) + 0.7152 * Linear(colour.green) +
           0.0722 * Linear(colour.blue);
}

double Ratio(Rgb first, Rgb second) {
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

Rgb Mix(Rgb from, Rgb to, double share) {
    const double s = std::clamp(share, 0.0, 1.0);
    const auto channel = [s](int a, int b) {
        return static_cast<int>(std::lround(a + (b - a) * s));
    };
    return {channel(from.red, to.red), channel(from.green, to.green), channel(from.blue, to.blue)};
}

Rgb SoftenedText(Rgb text, Rgb background, double ratio) {
    const Rgb start =
        Ratio(text, background) >= ratio ? text : StrongerOf(kBlack, kWhite, background);
    return NearestKeeping(start, background, background, ratio);
}

Rgb SoftenedText(Rgb text, Rgb background, Rgb otherBackground, double ratio) {
    for (const Rgb against : {otherBackground, background}) {
        const Rgb softened = SoftenedText(text, against, ratio);
        if (Ratio(softened, background) >= ratio && Ratio(softened, otherBackground) >= ratio) {
            return softened;
        }
    }
    // Around the middle grey no soft colour reads on both: black or white, whichever reads
    // better on the worse of the two.
    const auto worse = [&](Rgb colour) {
        return std::min(Ratio(colour, background), Ratio(colour, otherBackground));
    };
    return worse(kBlack) >= worse(kWhite) ? kBlack : kWhite;
}

Rgb DistinctShade(Rgb background, Rgb tint, double ratio) {
    const Rgb end =
        Ratio(tint, background) >= ratio ? tint : StrongerOf(kBlack, kWhite, background);
    // From the far end toward the background, keeping the last that still differs enough.
    return NearestKeeping(end, background, background, ratio);
}

}  // namespace ColourContrast
