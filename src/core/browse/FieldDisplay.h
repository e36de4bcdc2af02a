#pragma once

#include <string>
#include <string_view>

// How a field's stored value reads for a person, in the list and in the pages written from
// it. Length is stored as whole seconds and shows as a clock; the other fields show as stored.

// "m:ss", or "h:mm:ss" from an hour up; a value that is not a whole number of seconds shows
// as it stands, so nothing a catalog holds is hidden.
std::string LengthText(std::string_view seconds);
