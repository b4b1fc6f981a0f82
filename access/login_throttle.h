#pragma once

#include <chrono>
#include <optional>

namespace durnmoor {

// How long the log-in waits before it takes the next attempt: nothing at first, then after
// each failed attempt in a row twice as long as the last time, from the first wait up to the
// longest. A success starts again from nothing. Guessing passwords one after another becomes
// slow, while a user who mistyped once hardly notices.
class LoginThrottle {
public:
    using clock = std::chrono::steady_clock;

    explicit LoginThrottle(std::chrono::milliseconds first = std::chrono::seconds(1),
                           std::chrono::milliseconds longest = std::chrono::seconds(30))
        : first_(first), longest_(longest)
    {
    }

    void failed(clock::time_point now);
    void succeeded() { failures_ = 0; }

    // The wait that follows the failures so far.
    std::chrono::milliseconds wait() const;
    // What is left of it at now; zero when the next attempt may be taken.
    std::chrono::milliseconds remaining(clock::time_point now) const;
    int failures() const { return failures_; }

private:
    std::chrono::milliseconds first_;
    std::chrono::milliseconds longest_;
    int failures_ = 0;
    clock::time_point last_failure_{};
};

// The waits between failed log-ins of a new session (1 s doubling up to 30 s); tests shorten
// them, nullopt restores them.
LoginThrottle new_login_throttle();
void set_login_waits(std::optional<std::chrono::milliseconds> first);

} // namespace durnmoor
