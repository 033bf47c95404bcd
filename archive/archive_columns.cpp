#include "archive/archive_columns.h"

#include <cctype>

std::string ArchiveColumnName(std::string_view channelName) {
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

std::string ColumnOf(int channel) { return ArchiveColumnName(kChannels[static_cast<std::size_t>(channel)].name); }

std::string EachChannel(const std::function<std::string(const std::string& column, int channel)>& piece) {
    std::string sql;
    for (int i = 0; i < kChannelCount; ++i) sql += piece(ColumnOf(i), i);
    return sql;
}

std::string SummaryValueOf(int channel) { return channel == kJobIdChannel ? "0.0" : ColumnOf(channel); }
