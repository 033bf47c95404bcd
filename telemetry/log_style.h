#pragma once

// Which log lines the intake writes. The two programs differ here and nowhere else in
// decoding; each describes its style once (see programs/log_styles.h).
struct LogStyle {
    // "rx time | frame hex" on the frame log for every frame handed to the decoder.
    bool decoderLogsFrames;
    // "utc now | length | frame hex" on the frame log for every live frame, before decoding.
    bool liveLogsArrivals;
    // "kiss frames: N" on the frame log before each capture file, N its FEND bytes.
    bool fileLogsFendCount;
    // A text beacon's log line starts with "rx time | ".
    bool beaconLineHasTime;
    // Where a text beacon's logged text starts, as an offset into the AX.25 frame.
    int beaconTextOffset;
    // The SatNOGS import keeps frameHex current.
    bool satnogsSetsFrameHex;
    // A live frame is decoded as its capture file reads back: its packet takes the time-stamp
    // frame's text (" UTC" at the end) and a text beacon is listed.
    bool liveAsRecorded = false;
};
