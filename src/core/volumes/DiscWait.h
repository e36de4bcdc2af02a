#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

#include "volumes/MountedSet.h"

class CPlumetDoc;

// Commands that need a file system which is not mounted wait for it without blocking the
// window: the user is asked to insert the disc, and once a file system of that identity is
// mounted the command goes on. Waits queue: one question is on screen at a time, the first
// wait's, and the next is asked only once that disc came or the user cancelled. Every wait
// belongs to the catalog it was made for and ends with it.
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
    ~DiscWait();
    DiscWait(const DiscWait&) = delete;
    DiscWait& operator=(const DiscWait&) = delete;

    // Asks for the file system `volume` with `text`, once the waits before it are over;
    // `then` runs once it is mounted.
    void WaitFor(std::string volume, const std::string& text, std::function<void()> then);
    // The mounts changed: every wait whose file system is among them goes on, in the order
    // they were made. True when one did.
    bool OnMountsChanged(const MountedSet& mounted);
    // The catalog the waits were made for is gone: none goes on, and the question closes.
    void EndAll();
    // Every wait ends when `document` becomes another catalog.
    void BelongTo(CPlumetDoc& document);
    bool waiting() const { return !waits_.empty(); }
    // The waits under way, the one asked on screen first.
    std::size_t count() const { return waits_.size(); }

    // "Insert the disc "LABEL" to play "Track"."
    static std::string PlayText(std::string_view label, std::string_view track);
    // "Insert the disc "LABEL" to update it."
    static std::string UpdateText(std::string_view label);
    // "Insert the disc "LABEL" to rename "Track"."
    static std::string RenameText(std::string_view label, std::string_view track);

private:
    struct Wait {
        std::uint64_t id = 0;
        std::string volume;
        std::string text;
        std::function<void()> then;
    };

    // Puts the first wait's question on screen, or takes the question away when none is left.
    void AskFirst();
    void Cancel(std::uint64_t id);

    Prompt& prompt_;
    std::deque<Wait> waits_;
    std::uint64_t nextId_ = 1;
    std::uint64_t askedId_ = 0;  // the wait whose question is on screen; 0 for none
};
