#include "telemetry/channel_names.h"

#include <array>
#include <cctype>

std::span<const int> AllChannels() {
    static const std::array<int, kChannelCount> all = [] {
        std::array<int, kChannelCount> channels{};
        for (int i = 0; i < kChannelCount; ++i) channels[static_cast<std::size_t>(i)] = i;
        return channels;
    }();
    return all;
}

std::string ChannelColumnName(std::string_view channelName) {
    std::string name;
    const auto separate = [&] {
        if (!name.empty() && name.back() != '_') name += '_';
    };
    for (const char c : channelName) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else if (c == '-' || c == '+') {
            separate();
            name += c == '-' ? "minus" : "plus";
        } else {
            separate();
        }
    }
    if (!name.empty() && name.back() == '_') name.pop_back();
    return name;
}

std::string ColumnOf(int channel) { return ChannelColumnName(kChannels[static_cast<std::size_t>(channel)].name); }
