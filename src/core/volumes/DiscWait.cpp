#include "volumes/DiscWait.h"

#include <algorithm>
#include <vector>

#include "catalog/CPlumetDoc.h"

DiscWait::~DiscWait() {
    if (askedId_ != 0) {
        prompt_.Close();
    }
}

void DiscWait::WaitFor(std::string volume, const std::string& text, std::function<void()> then) {
    waits_.push_back({nextId_++, std::move(volume), text, std::move(then)});
    if (askedId_ == 0) {
        AskFirst();
    }
}

bool DiscWait::OnMountsChanged(const MountedSet& mounted) {
    std::vector<std::function<void()>> ready;
    for (auto wait = waits_.begin(); wait != waits_.end();) {
        if (mounted.Find(wait->volume) == nullptr) {
            ++wait;
            continue;
        }
        ready.push_back(std::move(wait->then));
        wait = waits_.erase(wait);
    }
    if (ready.empty()) {
        return false;
    }
    if (waits_.empty() || waits_.front().id != askedId_) {
        AskFirst();
    }
    // A command may wait again, for its next disc: that wait queues behind those under way.
    for (const std::function<void()>& then : ready) {
        if (then) {
            then();
        }
    }
    return true;
}

void DiscWait::EndAll() {
    waits_.clear();
    AskFirst();
}

void DiscWait::BelongTo(CPlumetDoc& document) {
    document.AddReplacedListener([this] { EndAll(); });
}

void DiscWait::AskFirst() {
    if (waits_.empty()) {
        if (askedId_ != 0) {
            askedId_ = 0;
            prompt_.Close();
        }
        return;
    }
    const Wait& first = waits_.front();
    askedId_ = first.id;
    prompt_.Show(first.text, [this, id = first.id] { Cancel(id); });
}

void DiscWait::Cancel(std::uint64_t id) {
    const auto wait =
        std::find_if(waits_.begin(), waits_.end(), [id](const Wait& w) { return w.id == id; });
    if (wait == waits_.end()) {
        return;  // a question that was already over
    }
    waits_.erase(wait);
    if (id == askedId_) {
        // The user's Cancel took that question away already.
        askedId_ = 0;
        AskFirst();
    }
}

std::string DiscWait::PlayText(std::string_view label, std::string_view track) {
    std::string text = "Insert the disc \"";
    text.append(label).append("\" to play \"").append(track).append("\".");
    return text;
}

std::string DiscWait::UpdateText(std::string_view label) {
    std::string text = "Insert the disc \"";
    text.append(label).append("\" to update it.");
    return text;
}

std::string DiscWait::RenameText(std::string_view label, std::string_view track) {
    std::string text = "Insert the disc \"";
    text.append(label).append("\" to rename \"").append(track).append("\".");
    return text;
}
