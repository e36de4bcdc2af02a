#include "volumes/DiscWait.h"

void DiscWait::WaitFor(std::string volume, const std::string& text, std::function<void()> then) {
    volume_ = std::move(volume);
    then_ = std::move(then);
    prompt_.Show(text, [this] {
        volume_.clear();
        then_ = nullptr;
    });
}

void DiscWait::OnMountsChanged(const MountedSet& mounted) {
    if (volume_.empty() || mounted.Find(volume_) == nullptr) {
        return;
    }
    volume_.clear();
    // The command may wait again, for another disc: it must find this wait over.
    const std::function<void()> then = std::move(then_);
    then_ = nullptr;
    prompt_.Close();
    if (then) {
        then();
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
