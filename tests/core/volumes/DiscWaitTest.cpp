// The queue of commands waiting for discs, against a plain model: one question on screen
// whenever anything waits, always the oldest wait's; a disc that comes lets every wait for
// it go on in order; Cancel and the end of the catalog drop waits without running them.

#include <gtest/gtest.h>

#include <algorithm>
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
    // As the user's click: the box goes, then the command hears of it.
    void ClickCancel() {
        const std::function<void()> cancelled = std::move(cancel);
        shown.reset();
        cancel = nullptr;
        cancelled();
    }

    std::optional<std::string> shown;
    std::function<void()> cancel;
};

struct ModelWait {
    int id;
    int volume;
    int next;  // the disc the command waits for after this one; -1 for none
};

const char* const kVolumes[] = {"A", "B", "C"};

TEST(DiscWaitTest, WaitsQueueBehindOneQuestionAndGoOnInOrder) {
    std::mt19937 random(22);
    for (int round = 0; round < 300; ++round) {
        RecordingPrompt prompt;
        DiscWait wait(prompt);
        std::deque<ModelWait> model;
        std::vector<int> ran;
        std::vector<int> expectedRan;
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
            switch (random() % 8) {
                case 0:
                case 1:
                case 2: {
                    const int volume = static_cast<int>(random() % 3);
                    const int next = random() % 3 == 0 ? static_cast<int>(random() % 3) : -1;
                    const int id = nextId++;
                    start(id, volume, next);
                    model.push_back({id, volume, next});
                    break;
                }
                case 3:
                case 4: {
                    std::vector<Mounts::Volume> volumes;
                    std::vector<bool> mounted(3);
                    for (int v = 0; v < 3; ++v) {
                        mounted[v] = random() % 3 == 0;
                        if (mounted[v]) {
                            volumes.push_back(
                                {kVolumes[v], std::string("/media/") + kVolumes[v], true});
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
                    break;
                }
                case 5:
                case 6:
                    if (prompt.cancel) {
                        prompt.ClickCancel();
                        model.pop_front();
                    }
                    break;
                default:
                    wait.EndAll();
                    model.clear();
                    break;
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
