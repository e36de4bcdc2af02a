#pragma once

// Colours chosen for legibility, by the relative luminance and contrast ratio of WCAG 2:
// black on white is 21:1, a colour on itself 1:1.
struct Rgb {
    int red = 0;  // 0 to 255 each
    int green = 0;
    int blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

namespace ColourContrast {

// Text that must still be read, such as a row greyed because its disc is away.
constexpr double kReadable = 4.5;
// Neighbouring shaded areas that must be told apart, such as two groups of duplicates.
constexpr double kDistinct = 1.2;

double RelativeLuminance(Rgb colour);
// From 1 to 21, whichever way round the two are given.
double Ratio(Rgb first, Rgb second);
// `share` of the way from `from` to `to`, 0 to 1.
Rgb Mix(Rgb from, Rgb to, double share);

// The softest text on `background` that still keeps `ratio` against it: `text` moved toward
// the background as far as that allows. Text that is too faint to begin with gives way to
// black or white, whichever stands out more.
Rgb SoftenedText(Rgb text, Rgb background, double ratio = kReadable);
// Softened text that keeps `ratio` on both of two backgrounds, such as the list's and that of
// a shaded group; where no colour can, black or white, whichever comes nearest.
Rgb SoftenedText(Rgb text, Rgb background, Rgb otherBackground, double ratio = kReadable);
// The lightest tint of `background` toward `tint` that differs from it by `ratio`; when even
// the tint does not, a shade toward black or white instead.
Rgb DistinctShade(Rgb background, Rgb tint, double ratio = kDistinct);

}  // namespace ColourContrast
