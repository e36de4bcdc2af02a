#include "frame/ColourContrast.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace cc = ColourContrast;

// The list's colours on a light and a dark desktop, then any colours at all: a greyed row
// keeps 4.5:1 on the list and on a shaded group, softer than plain text, and every other
// group of duplicates is shaded 1.2:1 from the list (black or white when nothing softer can).
TEST(ColourContrastTest, GreyedRowsAndGroupShadesKeepTheirContrast) {
    EXPECT_NEAR(cc::Ratio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
    EXPECT_NEAR(cc::Ratio({119, 119, 119}, {255, 255, 255}), 4.48, 0.01);
    struct Palette {
        Rgb base, text, highlight;
    };
    std::vector<Palette> palettes{{{208, 220, 230}, {0, 0, 0}, {48, 140, 198}},      // default
                                  {{42, 42, 42}, {255, 255, 255}, {42, 130, 218}}};  // dark
    std::mt19937 random(23);
    std::uniform_int_distribution<int> channel(0, 255);
    const auto any = [&] { return Rgb{channel(random), channel(random), channel(random)}; };
    for (int i = 0; i < 2000; ++i) {
        palettes.push_back({any(), any(), any()});
    }
    for (std::size_t i = 0; i < palettes.size(); ++i) {
        const Palette& p = palettes[i];
        const Rgb shade = cc::DistinctShade(p.base, p.highlight);
        ASSERT_GE(cc::Ratio(shade, p.base), cc::kDistinct) << i;
        const Rgb greyed = cc::SoftenedText(p.text, p.base, shade);
        const auto worse = [&](Rgb c) {
            return std::min(cc::Ratio(c, p.base), cc::Ratio(c, shade));
        };
        const double reachable = std::max(worse({0, 0, 0}), worse({255, 255, 255}));
        ASSERT_GE(worse(greyed), std::min(reachable, cc::kReadable) - 1e-9) << i;
        const Rgb alone = cc::SoftenedText(p.text, p.base);
        ASSERT_GE(cc::Ratio(alone, p.base), cc::kReadable) << i;
        if (cc::Ratio(p.text, p.base) >= cc::kReadable) {
            ASSERT_LE(cc::Ratio(alone, p.base), cc::Ratio(p.text, p.base) + 1e-9) << i;
        }
        if (i < 2) {  // the two desktops: greyed reads as greyed, the shade no stronger than needed
            EXPECT_GE(worse(greyed), cc::kReadable);
            EXPECT_LT(cc::Ratio(greyed, p.base), cc::Ratio(p.text, p.base) - 1);
            EXPECT_LT(cc::Ratio(shade, p.base), cc::kDistinct + 0.1);
        }
    }
}
