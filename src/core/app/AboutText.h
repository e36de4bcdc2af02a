#pragma once

// What the About box says, in every window.
namespace AboutText {

inline constexpr const char* kTitle = "About Plumet";
inline constexpr const char* kVersionLine = "Plumet Version 1.5.0";
inline constexpr const char* kDescription =
    "A catalog of the music on your discs and in your folders";

}  // namespace AboutText
