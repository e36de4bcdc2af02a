#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "volumes/MountedSet.h"

// A command that needs a file system which is not mounted waits for it without blocking
// the window: the user is asked to insert the disc, and once a file system of that identity
// is mounted the question closes by itself and the command goes on.
class DiscWait {
public:
    // The window's side of the question.
    class Prompt {
    public:
        virtual ~Prompt() = default;
        // Shows `text` with a Cancel button, replacing a question already shown; `cancelled`
        // runs when the user cancels.
        virtual void Show(const std::string& text, std::function<void()> cancelled) = 0;
        // Takes the question away without calling `cancelled`.
        virtual void Close() = 0;
    };

    explicit DiscWait(Prompt& prompt) : prompt_(prompt) {}

    // Asks for the file system `volume` with `text`; `then` runs once it is mounted. A new
    // wait replaces the one under way.
    void WaitFor(std::string volume, const std::string& text, std::function<void()> then);
    // The mounts changed: when the awaited file system is among them, the command goes on.
    void OnMountsChanged(const MountedSet& mounted);
    bool waiting() const { return !volume_.empty(); }

    // "Insert the disc "LABEL" to play "Track"."
    static std::string PlayText(std::string_view label, std::string_view track);
    // "Insert the disc "LABEL" to update it."
    static std::string UpdateText(std::string_view label);

private:
    Prompt& prompt_;
    std::string volume_;
    std::function<void()> then_;
};
