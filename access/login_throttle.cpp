#include "access/login_throttle.h"

#include <algorithm>

namespace durnmoor {

namespace {
std::optional<std::chrono::milliseconds> first_wait;
}

LoginThrottle new_login_throttle()
{
    if (first_wait)
        return LoginThrottle(*first_wait, *first_wait * 30);
    return LoginThrottle();
}

void set_login_waits(std::optional<std::chrono::milliseconds> first)
{
    first_wait = first;
}

void LoginThrottle::failed(clock::time_point now)
{
    ++failures_;
    last_failure_ = now;
}

std::chrono::milliseconds LoginThrottle::wait() const
{
    if (failures_ == 0)
        return std::chrono::milliseconds(0);
    std::chrono::milliseconds wait = first_;
    for (int n = 1; n < failures_ && wait < longest_; ++n)
        wait *= 2;
    return std::min(wait, longest_);
}

std::chrono::milliseconds LoginThrottle::remaining(clock::time_point now) const
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(last_failure_ + wait() - now);
    return std::max(left, std::chrono::milliseconds(0));
}

} // namespace durnmoor
