#pragma once

#include "intake/kiss.h"
#include "telemetry/hex_text.h"
#include "telemetry/program_state.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Builds a 216-byte beacon frame from values at frame offsets; every other byte is zero.
class BeaconBuilder {
public:
    BeaconBuilder& u8(int offset, std::uint8_t value) {
        frame_[static_cast<std::size_t>(offset)] = static_cast<char>(value);
        return *this;
    }
    BeaconBuilder& s8(int offset, std::int8_t value) { return u8(offset, static_cast<std::uint8_t>(value)); }
    BeaconBuilder& u16(int offset, std::uint16_t value) { return u8(offset, value >> 8).u8(offset + 1, value & 0xFF); }
    BeaconBuilder& u32(int offset, std::uint32_t value) {
        return u16(offset, static_cast<std::uint16_t>(value >> 16)).u16(offset + 2, value & 0xFFFF);
    }
    BeaconBuilder& text(int offset, std::string_view text) {
        frame_.replace(static_cast<std::size_t>(offset), text.size(), text);
        return *this;
    }
    // Year within the century, month, day, hour, minute, second at offsets 59 to 64.
    BeaconBuilder& obcTime(std::uint8_t yy, std::uint8_t mo, std::uint8_t dd, std::uint8_t hh, std::uint8_t mi,
                           std::uint8_t ss) {
        return u8(59, yy).u8(60, mo).u8(61, dd).u8(62, hh).u8(63, mi).u8(64, ss);
    }

    std::string build() const { return frame_; }
    // The frame without its 16-byte header, as 200-byte sources send it.
    std::string payload() const { return frame_.substr(16); }

private:
    std::string frame_ = std::string(216, '\0');
};

// A beacon whose "Urbi" (channel 14, at offset 79) is the given number, to tell packets apart.
inline std::string NumberedBeacon(int n) { return BeaconBuilder().u16(79, static_cast<std::uint16_t>(n)).build(); }

// The "Urbi" of every stored packet, in store order: the numbers of numbered beacons.
inline std::vector<double> StoredUrbi(const ProgramState& state) {
    std::vector<double> values;
    for (int n = 1; n <= state.packetCount; ++n) values.push_back(state.Packet(n)->values[channel::Urbi]);
    return values;
}
