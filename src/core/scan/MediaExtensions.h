#pragma once

#include <string_view>

// The file kinds a scan catalogues. The sets are fixed in the program.
inline constexpr std::string_view kAudioCategory = "audio";
inline constexpr std::string_view kVideoCategory = "video";

// Whether a file of this name belongs to the category ("audio" or "video", compared
// exactly). The extension is the text after the last dot, compared without regard to
// ASCII case; a name without a dot is its own extension.
bool IsMediaFile(std::string_view category, std::string_view fileName);
