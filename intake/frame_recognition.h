#pragma once

#include "telemetry/beacon_decoder.h"

#include <optional>
#include <string_view>

// Telemetry frames are known by their length alone: 216 bytes with their AX.25 header,
// or 200 bytes of payload without it. Frames of any other length are not decoded and
// give nothing.
std::optional<DecodeResult> DecodeTelemetryFrame(DecoderContext& context, std::string_view frame, const FrameFacts& facts);
bool IsTelemetryLength(std::size_t length);
// Decodes a telemetry frame into the record alone, padded as above. False for other lengths.
bool DecodeTelemetryRecord(std::string_view frame, std::string_view rxTimeText, TelemetryRecord& record);

// The 23-byte AX.25 header of the satellite's text beacons, as hexadecimal text:
// NOCALL-7 from NOSAT-11 via WIDE2-2, a UI frame without layer 3.
inline constexpr std::string_view SatelliteHeaderHex = "9C9E86829898EE9C9EA682A84076AE92888A64406503F0";

// A frame carrying the satellite's text-beacon header anywhere in its bytes.
bool IsSatelliteBeacon(std::string_view frame);

// The text beacon's line for the beacon text log, as the log style writes it.
std::string BeaconTextLine(std::string_view frame, std::string_view rxTimeText, const LogStyle& log);
