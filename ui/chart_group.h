#pragma once

#include <array>

// Three related channels charted side by side; choosing any of them with Shift (or the right
// mouse button) charts all three, in this order.
struct ChartGroup {
    std::array<int, 3> channels;

    bool Contains(int channel) const {
        return channels[0] == channel || channels[1] == channel || channels[2] == channel;
    }
};
