#include "browse/SearchQuery.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "browse/TextFold.h"
#include "catalog/RowFields.h"

namespace {

constexpr std::array<int, 4> kSearchedCells{kArtist, kTrack, kFolderDisk, kPath};

constexpr std::array<unsigned char, 256> kLowerAscii = [] {
    std::array<unsigned char, 256> lower{};
    for (int c = 0; c < 256; ++c) {
        lower[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    return lower;
}();

unsigned char Lower(char c) {
    return kLowerAscii[static_cast<unsigned char>(c)];
}

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

std::uint64_t Load8(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Eight bytes at a time: nearly every cell is plain ASCII, and this runs on all of them.
bool IsAscii(std::string_view text) {
    std::size_t at = 0;
    std::uint64_t any = 0;
    for (; at + 8 <= text.size(); at += 8) {
        any |= Load8(text.data() + at);
    }
    for (; at < text.size(); ++at) {
        any |= static_cast<unsigned char>(text[at]);
    }
    return (any & kHighBits) == 0;
}

// The bytes of `word` (little-endian) that may equal `first` once lower-cased: every such
// byte has its high bit set in the result; a few others may too, and are checked after.
std::uint64_t FirstByteCandidates(std::uint64_t word, std::uint64_t caseBit, std::uint64_t first) {
    const std::uint64_t diff = (word | caseBit) ^ first;
    return (diff - kOnes) & ~diff & kHighBits;
}

bool RestMatches(const char* at, std::string_view term) {
    for (std::size_t i = 1; i < term.size(); ++i) {
        if (Lower(at[i]) != static_cast<unsigned char>(term[i])) {
            return false;
        }
    }
    return true;
}

void AddTerm(std::string_view text, std::vector<std::string>& terms) {
    // A word of marks alone folds to nothing, and would match every row.
    std::string term = Folded(text);
    if (!term.empty() && std::find(terms.begin(), terms.end(), term) == terms.end()) {
        terms.push_back(std::move(term));
    }
}

}  // namespace

SearchQuery::SearchQuery(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ') {
            ++at;
        } else if (text[at] == '"') {
            const std::size_t close = text.find('"', at + 1);
            const std::size_t end = close == std::string_view::npos ? text.size() : close;
            AddTerm(text.substr(at + 1, end - at - 1), terms_);
            at = end + 1;
        } else {
            std::size_t end = text.find_first_of(" \"", at);
            end = end == std::string_view::npos ? text.size() : end;
            AddTerm(text.substr(at, end - at), terms_);
            at = end;
        }
    }
    for (const std::string& term : terms_) {
        termHasNonAscii_.push_back(HasNonAscii(term));
    }
}

std::vector<int> SearchQuery::MatchingRows(const CatalogList& list) const {
    std::vector<int> rows;
    Scratch scratch;
    constexpr int kAhead = 8;
    for (int row = 0; row < list.RowCount(); ++row) {
        if (row + kAhead < list.RowCount()) {
            list.RowRecord(row + kAhead)->Prefetch();
        }
        if (Matches(*list.RowRecord(row), scratch)) {
            rows.push_back(row);
        }
    }
    return rows;
}

std::vector<int> SearchQuery::MatchingRows(const CatalogList& list,
                                           std::span<const int> storeRows) const {
    std::vector<int> rows;
    Scratch scratch;
    constexpr std::size_t kAhead = 8;
    for (std::size_t at = 0; at < storeRows.size(); ++at) {
        if (at + kAhead < storeRows.size()) {
            if (const CatalogRow* ahead = list.RowRecord(storeRows[at + kAhead])) {
                ahead->Prefetch();
            }
        }
        const CatalogRow* row = list.RowRecord(storeRows[at]);
        if (row != nullptr && Matches(*row, scratch)) {
            rows.push_back(storeRows[at]);
        }
    }
    return rows;
}

bool SearchQuery::Matches(const CatalogRow& row) const {
    Scratch scratch;
    return Matches(row, scratch);
}

bool SearchQuery::Matches(const CatalogRow& row, Scratch& scratch) const {
    if (terms_.empty()) {
        return true;
    }
    scratch.found.assign(terms_.size(), 0);
    std::size_t left = terms_.size();
    for (const int column : kSearchedCells) {
        if (Check(row.Cell(column), scratch, left)) {
            return true;
        }
    }
    // The fields text is walked once rather than looked up field by field.
    return ForEachFieldValue(
        row.Fields(), [&](Column, std::string_view value) { return Check(value, scratch, left); });
}

bool SearchQuery::MatchesTexts(std::span<const std::string_view> texts, Scratch& scratch) const {
    if (terms_.empty()) {
        return true;
    }
    scratch.found.assign(terms_.size(), 0);
    std::size_t left = terms_.size();
    for (const std::string_view text : texts) {
        if (CheckSearchable(text, IsAscii(text), scratch, left)) {
            return true;
        }
    }
    return false;
}

bool SearchQuery::Check(std::string_view cell, Scratch& scratch, std::size_t& left) const {
    if (cell.empty()) {
        return false;
    }
    if (IsAscii(cell)) {
        return CheckSearchable(cell, true, scratch, left);
    }
    scratch.folded.clear();
    AppendFolded(cell, scratch.folded);
    return CheckSearchable(scratch.folded, false, scratch, left);
}

bool SearchQuery::CheckSearchable(std::string_view text, bool ascii, Scratch& scratch,
                                  std::size_t& left) const {
    for (std::size_t i = 0; i < terms_.size(); ++i) {
        if (scratch.found[i] != 0) {
            continue;
        }
        // A term with bytes past ASCII cannot occur in an ASCII text.
        const bool occurs = ascii ? !termHasNonAscii_[i] && OccursInAscii(text, terms_[i])
                                  : text.find(terms_[i]) != std::string_view::npos;
        if (occurs) {
            scratch.found[i] = 1;
            if (--left == 0) {
                return true;
            }
        }
    }
    return false;
}

bool SearchQuery::Narrows(const SearchQuery& wider) const {
    return std::all_of(wider.terms_.begin(), wider.terms_.end(), [this](const std::string& term) {
        return std::any_of(terms_.begin(), terms_.end(), [&term](const std::string& mine) {
            return mine.find(term) != std::string::npos;
        });
    });
}

bool SearchQuery::OccursInAscii(std::string_view text, std::string_view term) {
    if (term.size() > text.size()) {
        return false;
    }
    if (term.empty()) {
        return true;
    }
    const auto first = static_cast<unsigned char>(term[0]);
    const std::size_t last = text.size() - term.size();
    // A letter matches in either case: OR-ing 0x20 lowers exactly its two forms to it.
    const bool letter = first >= 'a' && first <= 'z';
    const std::uint64_t caseBit = letter ? 0x20 * kOnes : 0;
    const std::uint64_t firstBytes = first * kOnes;
    std::size_t at = 0;
    for (; at + 8 <= text.size() && at <= last; at += 8) {
        std::uint64_t candidates =
            FirstByteCandidates(Load8(text.data() + at), caseBit, firstBytes);
        while (candidates != 0) {
            const std::size_t start =
                at + static_cast<std::size_t>(std::countr_zero(candidates)) / 8;
            if (start > last) {
                return false;
            }
            if (Lower(text[start]) == first && RestMatches(text.data() + start, term)) {
                return true;
            }
            candidates &= candidates - 1;
        }
    }
    for (; at <= last; ++at) {
        if (Lower(text[at]) == first && RestMatches(text.data() + at, term)) {
            return true;
        }
    }
    return false;
}
