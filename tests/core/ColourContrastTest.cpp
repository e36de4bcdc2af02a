#include "frame/ColourContrast.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace cc = ColourContrast;

TEST(ColourContrastTest, KnownRatios) {
    EXPECT_NEAR(cc::Ratio({0, 0, 0}, {255, 255, 255}), 21.0, 1e-9);
    EXPECT_NEAR(cc::Ratio({255, 255, 255}, {0, 0, 0}), 21.0, 1e-9);
    EXPECT_NEAR(cc::Ratio({119, 119, 119}, {255, 255, 255}), 4.48, 0.01);
    EXPECT_NEAR(cc::Ratio({40, 90, 200}, {40, 90, 200}), 1.0, 1e-9);
    EXPECT_NEAR(cc::RelativeLuminance({255, 0, 0}), 0.2126, 1e-4);
}

// The list's colours in a light and a dark desktop: what a greyed row and the shading of
// every other group of duplicates become, against the list's background.
TEST(ColourContrastTest, GreyedRowsAndGroupShadesInLightAndDarkPalettes) {
    struct Palette {
        const char* name;
        Rgb base;
        Rgb text;
        Rgb disabledText;  // what the desktop would grey text with: too faint on its own
        Rgb highlight;
    };
    const Palette palettes[] = {
        {"default", {208, 220, 230}, {0, 0, 0}, {190, 190, 190}, {48, 140, 198}},
        {"plain light", {255, 255, 255}, {0, 0, 0}, {120, 120, 120}, {48, 140, 198}},
        {"dark", {42, 42, 42}, {255, 255, 255}, {127, 127, 127}, {42, 130, 218}},
        {"dark, faint text", {30, 30, 40}, {70, 70, 80}, {60, 60, 60}, {60, 60, 90}},
    };
    for (const Palette& p : palettes) {
        SCOPED_TRACE(p.name);
        EXPECT_LT(cc::Ratio(p.disabledText, p.base), cc::kReadable);
        for (const Rgb text : {p.text, p.disabledText}) {
            const Rgb greyed = cc::SoftenedText(text, p.base);
            EXPECT_GE(cc::Ratio(greyed, p.base), cc::kReadable);
            // Greyed still reads as greyed: softer than the plain text when that is legible.
            if (cc::Ratio(p.text, p.base) > cc::kReadable + 1) {
                EXPECT_LT(cc::Ratio(greyed, p.base), cc::Ratio(p.text, p.base));
            }
        }
        const Rgb shade = cc::DistinctShade(p.base, p.highlight);
        EXPECT_GE(cc::Ratio(shade, p.base), cc::kDistinct);
        EXPECT_LT(cc::Ratio(shade, p.base), cc::kDistinct + 0.1);  // no stronger than needed
        // A greyed row reads on a shaded group too.
        const Rgb onBoth = cc::SoftenedText(p.text, p.base, shade);
        EXPECT_GE(cc::Ratio(onBoth, p.base), cc::kReadable);
        EXPECT_GE(cc::Ratio(onBoth, shade), cc::kReadable);
    }
}

TEST(ColourContrastTest, AnyPairGivesReadableTextAndDistinctShade) {
    std::mt19937 random(23);
    std::uniform_int_distribution<int> channel(0, 255);
    const auto any = [&] { return Rgb{channel(random), channel(random), channel(random)}; };
    for (int i = 0; i < 2000; ++i) {
        const Rgb text = any();
        const Rgb base = any();
        const Rgb greyed = cc::SoftenedText(text, base);
        ASSERT_GE(cc::Ratio(greyed, base), cc::kReadable)
            << text.red << "," << text.green << "," << text.blue << " on " << base.red << ","
            << base.green << "," << base.blue;
        if (cc::Ratio(text, base) >= cc::kReadable) {
            // Never further from the background than the text it softens.
            EXPECT_LE(cc::Ratio(greyed, base), cc::Ratio(text, base) + 1e-9);
        }
        const Rgb shade = cc::DistinctShade(base, any());
        ASSERT_GE(cc::Ratio(shade, base), cc::kDistinct);
        // On both, as far as black or white could be.
        const auto worse = [&](Rgb colour) {
            return std::min(cc::Ratio(colour, base), cc::Ratio(colour, shade));
        };
        const double reachable = std::max(worse({0, 0, 0}), worse({255, 255, 255}));
        ASSERT_GE(worse(cc::SoftenedText(text, base, shade)),
                  std::min(reachable, cc::kReadable) - 1e-9);
    }
}
