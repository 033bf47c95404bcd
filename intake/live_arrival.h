#pragma once

#include "intake/capture_log.h"
#include "intake/kiss_stream.h"
#include "telemetry/beacon_decoder.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Live frames shorter than this, after their command byte, are neither decoded nor recorded.
inline constexpr std::size_t kMinLiveFrameLength = 10;

// What one arrival from the KISS server did.
struct LiveArrival {
    int frames = 0;      // frames of at least 10 bytes: decoded by length and recorded
    int stored = 0;      // telemetry frames that became packets
    int refused = 0;     // telemetry frames the full store turned away
    int textBeacons = 0; // the satellite's text beacons, listed when the log style says so
    int unrecorded = 0;  // frames the capture file could not take
    std::optional<CaptureWrite> lastWrite;  // the last frame's append to the capture file
    std::string rxTimeText;  // the last frame's time stamp in the capture file, " UTC" form
};

// Where the satellite's own frames go besides: its telemetry and text beacons, with their
// reception time ("yyyy-MM-dd HH:mm:ss.zzz", UTC) and their bytes in hexadecimal.
using SatelliteFrameSink = std::function<void(std::string_view utcTimestampText, std::string_view frameHex)>;

// One arrival from the KISS server: the stream cuts the frames it completes; each frame of at
// least 10 bytes is stamped with one reading of the UTC clock, decoded by length, and appended
// to the day's capture file in the folder behind its time-stamp frame, in one write. When
// there is a sink for them, the satellite's frames go there too; other stations' do not.
//
// The window decodes a live packet with the clock's own text and lists no text beacons; a
// log style that decodes live frames as recorded gives the packet its capture file's stamp
// and lists the text beacons, so the packets and beacons match the capture file read back.
LiveArrival DecodeLiveChunk(DecoderContext& context, KissStream& stream, std::string_view chunk,
                            const QString& captureFolder, const SatelliteFrameSink& satelliteFrames = {});

// The capture file's failures told once a run, not once a frame.
class CaptureTrouble {
public:
    // What is new about the capture file after an arrival, or nothing: why it failed, at the
    // first failure of a run; how many frames were not recorded, when it takes one again.
    QString News(const LiveArrival& arrival);

private:
    int unrecorded_ = 0;
};
