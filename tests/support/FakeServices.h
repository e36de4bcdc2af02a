#pragma once

// Test doubles of the services the core asks for: scripted answers and recorded calls.

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "scan/RowDerivation.h"
#include "services.h"

class MemoryProfile : public Profile {
public:
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& fallback) override {
        const auto found = values.find(section + "/" + name);
        return found == values.end() ? fallback : found->second;
    }
    int GetInt(const std::string& section, const std::string& name, int fallback) override {
        const auto found = values.find(section + "/" + name);
        return found == values.end() ? fallback : std::stoi(found->second);
    }
    void WriteString(const std::string& section, const std::string& name,
                     const std::string& value) override {
        values[section + "/" + name] = value;
    }
    void WriteInt(const std::string& section, const std::string& name, int value) override {
        values[section + "/" + name] = std::to_string(value);
    }
    void RemoveValue(const std::string& section, const std::string& name) override {
        values.erase(section + "/" + name);
    }

    std::map<std::string, std::string> values;
};

class ScriptedUserInterface : public UserInterface {
public:
    SaveAnswer AskYesNoCancel(const std::string& text) override {
        questions.push_back(text);
        return Next(answers, unscriptedAnswer);
    }
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        return Next(yesNoAnswers, false);
    }
    std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) override {
        dialogs.push_back(request);
        return Next(openChoices, std::optional<std::string>());
    }
    std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) override {
        dialogs.push_back(request);
        return Next(saveChoices, std::optional<std::string>());
    }
    std::optional<std::string> ChooseStartFolder(const std::string& title,
                                                 const std::string& start = {}) override {
        folderTitles.push_back(title);
        folderStarts.push_back(start);
        return Next(folderChoices, std::optional<std::string>());
    }
    std::optional<std::string> EditVolumeLabel(const std::string& label,
                                               const std::string& note = {}) override {
        labelsShown.push_back(label);
        labelNotes.push_back(note);
        return Next(labelAnswers, std::optional<std::string>());
    }
    void Beep() override { ++beeps; }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ShowError(const std::string& text) override { errors.push_back(text); }

    // Answers given in order; once used up, the dialogs are cancelled and Yes / No
    // questions answered No. Both kinds of question are recorded in `questions`.
    std::deque<SaveAnswer> answers;
    std::deque<bool> yesNoAnswers;
    SaveAnswer unscriptedAnswer = SaveAnswer::Cancel;  // the questions after `answers`
    std::deque<std::optional<std::string>> openChoices;
    std::deque<std::optional<std::string>> saveChoices;
    std::deque<std::optional<std::string>> folderChoices;
    std::deque<std::optional<std::string>> labelAnswers;

    std::vector<std::string> questions;
    std::vector<FileDialogRequest> dialogs;
    std::vector<std::string> folderTitles;
    std::vector<std::string> folderStarts;
    std::vector<std::string> labelsShown;
    std::vector<std::string> labelNotes;
    std::vector<std::string> messages;
    std::vector<std::string> errors;
    int beeps = 0;

private:
    template <typename T>
    static T Next(std::deque<T>& queue, T fallback) {
        if (queue.empty()) {
            return fallback;
        }
        T next = queue.front();
        queue.pop_front();
        return next;
    }
};

class RecordingShell : public Shell {
public:
    bool Open(const std::string& target) override {
        opened.push_back(target);
        return succeed;
    }

    bool Enqueue(const std::string& mediaFile) override {
        enqueued.push_back(mediaFile);
        return succeed;
    }

    bool succeed = true;
    std::vector<std::string> opened;
    std::vector<std::string> enqueued;
};

class FixedLocale : public Locale {
public:
    std::string GroupSeparator() override { return separator; }
    std::optional<std::tm> LocalTime(std::int64_t secondsSinceEpoch) override {
        return StandardLocalTime(secondsSinceEpoch);
    }
    std::string separator = ",";
};

// Tags by path; files it does not know have none. Safe from several threads as long as
// `tags` is left alone while a scan runs.
class ScriptedTagReader : public TagReader {
public:
    std::optional<FileTags> ReadTags(const std::string& path) override {
        const auto found = tags.find(path);
        return found == tags.end() ? std::nullopt : std::optional<FileTags>(found->second);
    }

    std::map<std::string, FileTags> tags;
};

// Mounts as a test lists them; a path lies on the listed volume with the deepest mount
// point above it, a device on the volume listed for it. Leave both alone while a scan runs.
class ListedMounts : public Mounts {
public:
    std::optional<Volume> VolumeOf(const std::string& path) override {
        std::optional<Volume> best;
        for (const Volume& volume : volumes) {
            const std::string& point = volume.mountPoint;
            const bool below = path.compare(0, point.size(), point) == 0 &&
                               (path.size() == point.size() || path[point.size()] == '/');
            if (below && (!best || point.size() >= best->mountPoint.size())) {
                best = volume;
            }
        }
        return best;
    }
    // The volume listed for the device, else as VolumeOf(path).
    std::optional<Volume> VolumeOfDevice(std::uint64_t device, const std::string& path) override {
        const auto found = devices.find(device);
        return found == devices.end() ? VolumeOf(path) : std::optional<Volume>(found->second);
    }
    std::vector<Volume> MountedVolumes() override { return volumes; }

    std::vector<Volume> volumes;
    std::map<std::uint64_t, Volume> devices;
};
