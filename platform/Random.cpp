#include "platform/Random.h"

#include <ctime>
#include <memory>
#include <mutex>

namespace {

struct RandomState {
    std::mutex lock;
    uint32_t seed = 1;  // the C runtime's generator starts as if seeded with 1
    std::shared_ptr<const std::function<int()>> hook;
};

RandomState& state() {
    static RandomState s;
    return s;
}

}  // namespace

void SeedRandom(uint32_t seed) {
    std::lock_guard<std::mutex> guard(state().lock);
    state().seed = seed;
}

void SeedRandomFromClock() { SeedRandom(uint32_t(std::time(nullptr))); }

int NextRandom() {
    RandomState& s = state();
    std::shared_ptr<const std::function<int()>> hook;
    {
        std::lock_guard<std::mutex> guard(s.lock);
        if (!s.hook) {
            s.seed = s.seed * 214013u + 2531011u;
            return int((s.seed >> 16) & 0x7FFF);
        }
        hook = s.hook;
    }
    // The hook runs outside the lock so that it may itself draw or reseed.
    int v = (*hook)();
    return v < 0 ? 0 : v > kRandMax ? kRandMax : v;
}

void SetRandomHook(std::function<int()> hook) {
    std::lock_guard<std::mutex> guard(state().lock);
    if (hook)
        state().hook = std::make_shared<const std::function<int()>>(std::move(hook));
    else
        state().hook.reset();
}
