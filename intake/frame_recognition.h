#pragma once

#include "telemetry/beacon_decoder.h"

#include <optional>
#include <string_view>

// Telemetry frames are known by their length alone: 216 bytes with their AX.25 header,
// or 200 bytes of payload without it. Frames of any other length are not decoded and
// give nothing.
std::optional<DecodeResult> DecodeTelemetryFrame(DecoderContext& context, std::string_view frame);

// A frame carrying the satellite's text-beacon header anywhere in its hexadecimal text.
bool IsSatelliteBeacon(std::string_view frameHex);

// The text beacon's line for the beacon text log, as the log style writes it.
std::string BeaconTextLine(std::string_view frame, std::string_view rxTimeText, const LogStyle& log);
