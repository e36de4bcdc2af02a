// A mimeapps.list as registration edits it and EnqueueCommand reads it: after adding the
// program as a default, the list names it, and removing it again takes it out.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "MimeAppsList.h"

namespace {

const std::string kType = "application/x-plumet-document";
const std::string kId = "plumet.desktop";

bool Lists(const MimeAppsList& list, const std::string& type, const std::string& id) {
    const std::vector<std::string> ids = list.ListFor(MimeAppsList::kDefaultGroup, type);
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(BytesOf(data, size));
    MimeAppsList list(text);
    for (const char* group :
         {MimeAppsList::kDefaultGroup, MimeAppsList::kAddedGroup, MimeAppsList::kRemovedGroup}) {
        for (const std::string& id : list.ListFor(group, "audio/mpeg")) {
            Require(!id.empty() && id.find(';') == std::string::npos, "ids are split at ';'");
        }
    }
    list.DefaultFor("audio/mpeg");

    const bool hadDefault = !list.ListFor(MimeAppsList::kDefaultGroup, kType).empty();
    const bool added = list.SetDefaultIfMissing(kType, kId);
    Require(added != hadDefault, "a default is added only where there is none");
    if (!added) {
        Require(list.text() == text, "the text stays as it was");
        return 0;
    }
    Require(Lists(list, kType, kId), "the added default is listed");
    Require(list.RemoveDefault(kType, kId), "the added default can be removed");
    // A file that names the program already may list it twice.
    Require(text.find(kId) != std::string::npos || !Lists(list, kType, kId),
            "the removed default is gone");
    return 0;
}
