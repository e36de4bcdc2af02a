#pragma once

#include <string>
#include <string_view>

#include "services.h"

// The user's LC_NUMERIC conventions, read without touching the process's global locale, so
// other threads formatting numbers are never disturbed.
class PosixLocale : public Locale {
public:
    std::string GroupSeparator() override;
    // localtime_r: the time zone is read once, not at every call as std::localtime does.
    std::optional<std::tm> LocalTime(std::int64_t secondsSinceEpoch) override;

    // The first character of `text` in `codeset`: a whole UTF-8 sequence for UTF-8, else one
    // byte.
    static std::string FirstCharacter(std::string_view text, std::string_view codeset);
};
