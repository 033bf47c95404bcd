#pragma once

#include "telemetry/channel_table.h"

#include <array>
#include <memory>
#include <string>

// One decoded beacon.
struct TelemetryRecord {
    std::array<double, kChannelCount> values{};  // in the units of the channel table
    std::string rxTime;     // reception time, as the intake supplied it
    std::string obcTime;    // on-board time, "20yy/MM/dd hh:mm:ss"
    std::string jobIdText;  // nothing fills it; the JOB ID box shows it empty
};

inline constexpr int kStoreCapacity = 10000;

// Exactly 10000 records, allocated once and never resized: about 5 MB, so on the heap.
class PacketStore {
public:
    PacketStore() : records_(std::make_unique<std::array<TelemetryRecord, kStoreCapacity>>()) {}

    TelemetryRecord& operator[](int index) { return (*records_)[static_cast<std::size_t>(index)]; }
    const TelemetryRecord& operator[](int index) const { return (*records_)[static_cast<std::size_t>(index)]; }

private:
    std::unique_ptr<std::array<TelemetryRecord, kStoreCapacity>> records_;
};
