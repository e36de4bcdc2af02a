#pragma once

#include "services.h"

// The user's number formatting from the Windows locale, and local time from the C runtime.
class WinLocale : public Locale {
public:
    // The first character of the user's LOCALE_STHOUSAND; "," when there is none.
    std::string GroupSeparator() override;
    std::optional<std::tm> LocalTime(std::int64_t secondsSinceEpoch) override;
};
