#pragma once

#include "intake/kiss_stream.h"
#include "telemetry/beacon_decoder.h"

#include <functional>
#include <string_view>

// A live frame that was handed on, for the capture log to record as it arrived.
using CaptureSink = std::function<void(const KissFrame&)>;

// Live frames shorter than this, after their command byte, are neither decoded nor recorded.
inline constexpr std::size_t kMinLiveFrameLength = 10;

// One arrival from the KISS server. Every frame it completes (with the bytes that came
// before it) of at least 10 bytes is stamped with UTC now, decoded by length and then
// passed to the capture sink, one frame at a time. Returns the number of such frames.
int DecodeLiveChunk(DecoderContext& context, KissStream& stream, std::string_view chunk, const CaptureSink& capture);
