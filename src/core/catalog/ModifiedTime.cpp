#include "catalog/ModifiedTime.h"

#include <algorithm>
#include <charconv>
#include <cstddef>

namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    // Digits at the current place: `least` to `most` of them.
    bool Number(std::size_t least, std::size_t most, int& value) {
        std::size_t end = at_;
        while (end < text_.size() && end - at_ < most && text_[end] >= '0' && text_[end] <= '9') {
            ++end;
        }
        if (end - at_ < least) {
            return false;
        }
        value = 0;
        for (; at_ < end; ++at_) {
            value = value * 10 + (text_[at_] - '0');
        }
        return true;
    }
    bool Char(char expected) {
        if (at_ >= text_.size() || text_[at_] != expected) {
            return false;
        }
        ++at_;
        return true;
    }
    bool AtEnd() const { return at_ == text_.size(); }
    std::string_view Rest() const { return text_.substr(at_); }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

bool InRange(const ModifiedTime& time) {
    return time.month >= 1 && time.month <= 12 && time.day >= 1 && time.day <= 31 &&
           time.hour >= 0 && time.hour <= 23 && time.minute >= 0 && time.minute <= 59;
}

// "MM/DD/YY hh:mm AM", the half of the day in either case
std::optional<ModifiedTime> ProgramForm(std::string_view text) {
    Reader reader(text);
    ModifiedTime time;
    int year = 0;
    int hour12 = 0;
    if (!reader.Number(1, 2, time.month) || !reader.Char('/') || !reader.Number(1, 2, time.day) ||
        !reader.Char('/') || !reader.Number(2, 2, year) || !reader.Char(' ') ||
        !reader.Number(1, 2, hour12) || !reader.Char(':') || !reader.Number(2, 2, time.minute) ||
        !reader.Char(' ')) {
        return std::nullopt;
    }
    const std::string_view half = reader.Rest();
    const auto lower = [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); };
    if (half.size() != 2 || (lower(half[0]) != 'a' && lower(half[0]) != 'p') ||
        lower(half[1]) != 'm' || hour12 < 1 || hour12 > 12) {
        return std::nullopt;
    }
    const bool am = lower(half[0]) == 'a';
    time.year = year >= 69 ? 1900 + year : 2000 + year;
    time.hour = hour12 % 12 + (am ? 0 : 12);
    return InRange(time) ? std::optional(time) : std::nullopt;
}

// "YYYY-MM-DD", then "Thh:mm" or " hh:mm", then ":ss"; seconds only order within a minute,
// so they are read and left out.
std::optional<ModifiedTime> IsoForm(std::string_view text) {
    Reader reader(text);
    ModifiedTime time;
    time.iso = true;
    if (!reader.Number(4, 4, time.year) || !reader.Char('-') || !reader.Number(2, 2, time.month) ||
        !reader.Char('-') || !reader.Number(2, 2, time.day)) {
        return std::nullopt;
    }
    if (!reader.AtEnd()) {
        int second = 0;
        if ((!reader.Char('T') && !reader.Char(' ')) || !reader.Number(2, 2, time.hour) ||
            !reader.Char(':') || !reader.Number(2, 2, time.minute) ||
            (!reader.AtEnd() && (!reader.Char(':') || !reader.Number(2, 2, second) || second > 59 ||
                                 !reader.AtEnd()))) {
            return std::nullopt;
        }
    }
    return InRange(time) ? std::optional(time) : std::nullopt;
}

void AppendPadded(int value, int width, std::string& out) {
    char digits[8];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    (void)error;
    out.append(static_cast<std::size_t>(std::max<std::ptrdiff_t>(width - (end - digits), 0)), '0');
    out.append(digits, end);
}

}  // namespace

std::optional<ModifiedTime> ModifiedTime::Parse(std::string_view text) {
    if (auto time = ProgramForm(text)) {
        return time;
    }
    return IsoForm(text);
}

std::int64_t ModifiedTime::OrderMinutes() const {
    const std::int64_t days = (static_cast<std::int64_t>(year) * 12 + (month - 1)) * 31 + (day - 1);
    return (days * 24 + hour) * 60 + minute;
}

void ModifiedTime::AppendIso(std::string& out) const {
    AppendPadded(year, 4, out);
    out += '-';
    AppendPadded(month, 2, out);
    out += '-';
    AppendPadded(day, 2, out);
    out += 'T';
    AppendPadded(hour, 2, out);
    out += ':';
    AppendPadded(minute, 2, out);
}
