#pragma once

#include <algorithm>
#include <chrono>

// Waits that double after each failure up to a limit, and start from the first again after a
// success: the live client's reconnects and the SiDS forwarder's retries.
class Backoff {
public:
    using Duration = std::chrono::milliseconds;

    Backoff(Duration first, Duration limit) : first_(first), limit_(limit), next_(first) {}

    Duration Next() {
        const Duration wait = next_;
        next_ = std::min(next_ * 2, limit_);
        return wait;
    }
    void Reset() { next_ = first_; }

    Duration first() const { return first_; }

private:
    Duration first_;
    Duration limit_;
    Duration next_;
};
