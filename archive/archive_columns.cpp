#include "archive/archive_columns.h"

std::string EachChannel(const std::function<std::string(const std::string& column, int channel)>& piece) {
    std::string sql;
    for (int i = 0; i < kChannelCount; ++i) sql += piece(ColumnOf(i), i);
    return sql;
}

std::string SummaryValueOf(int channel) { return channel == kJobIdChannel ? "0.0" : ColumnOf(channel); }
