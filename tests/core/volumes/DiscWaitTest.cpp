// The queue of commands waiting for discs, against a plain model: one question on screen
// whenever anything waits, always the oldest wait's; a disc that comes lets every wait for
// it go on in order, and a command may then wait for its next disc; Cancel and the end of
// the catalog drop waits without running them.

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <random>

#include "volumes/DiscWait.h"

namespace {

class RecordingPrompt : public DiscWait::Prompt {
public:
    void Show(const std::string& text, std::function<void()> cancelled) override {
        shown = text;
        cancel = std::move(cancelled);
    }
    void Close() override {
        shown.reset();
        cancel = nullptr;
    }

    std::optional<std::string> shown;
    std::function<void()> cancel;
};

struct ModelWait {
    int id;
    int volume;
    int next;  // the disc the command waits for once this one came; -1 for none
};

const std::string kVolumes[] = {"A", "B", "C"};

TEST(DiscWaitTest, WaitsQueueBehindOneQuestionAndGoOnInOrder) {
    std::mt19937 random(22);
    for (int round = 0; round < 300; ++round) {
        RecordingPrompt prompt;
        DiscWait wait(prompt);
        std::deque<ModelWait> model;
        std::vector<int> ran, expectedRan;
        int nextId = 0;
        std::function<void(int, int, int)> start = [&](int id, int volume, int next) {
            wait.WaitFor(kVolumes[volume], "wait " + std::to_string(id), [&, id, next] {
                ran.push_back(id);
                if (next >= 0) {
                    start(id + 1000, next, -1);
                }
            });
        };
        for (int step = 0; step < 30; ++step) {
            const unsigned action = random() % 8;
            if (action < 3) {
                const int volume = static_cast<int>(random() % 3);
                const int next = random() % 3 == 0 ? static_cast<int>(random() % 3) : -1;
                start(nextId, volume, next);
                model.push_back({nextId++, volume, next});
            } else if (action < 5) {
                std::vector<Mounts::Volume> volumes;
                bool mounted[3];
                for (int v = 0; v < 3; ++v) {
                    mounted[v] = random() % 3 == 0;
                    if (mounted[v]) {
                        volumes.push_back({kVolumes[v], "/media/" + kVolumes[v], true});
                    }
                }
                std::vector<ModelWait> ready;
                std::erase_if(model, [&](const ModelWait& w) {
                    if (mounted[w.volume]) {
                        ready.push_back(w);
                    }
                    return mounted[w.volume];
                });
                for (const ModelWait& w : ready) {
                    expectedRan.push_back(w.id);
                    if (w.next >= 0) {
                        model.push_back({w.id + 1000, w.next, -1});
                    }
                }
                EXPECT_EQ(wait.OnMountsChanged(MountedSet(volumes)), !ready.empty());
            } else if (action < 7) {
                if (prompt.cancel) {
                    // As the user's click: the box goes, then the command hears of it.
                    const std::function<void()> cancelled = std::move(prompt.cancel);
                    prompt.Close();
                    cancelled();
                    model.pop_front();
                }
            } else {
                wait.EndAll();
                model.clear();
            }
            ASSERT_EQ(ran, expectedRan) << "round " << round << " step " << step;
            ASSERT_EQ(wait.count(), model.size());
            if (model.empty()) {
                ASSERT_FALSE(prompt.shown.has_value());
            } else {
                ASSERT_EQ(prompt.shown, "wait " + std::to_string(model.front().id));
                ASSERT_TRUE(prompt.cancel);
            }
        }
    }
}

}  // namespace
