#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>

// One complete KISS frame out of a byte stream; the views last as long as the sink's call.
struct KissFrame {
    std::string_view raw;        // FEND, the frame's bytes as they came (escaped), FEND
    std::string_view unescaped;  // the frame's bytes with the escapes undone, command byte first
};

// Bytes in, whole frames out: the one place that knows where a KISS frame begins and ends.
// A TCP stream keeps no message boundaries, so a frame may come in pieces over several
// arrivals or share one with others: the unfinished frame waits here for the rest. Bytes
// before the first FEND are not part of any frame; empty frames (two FENDs in a row) yield
// nothing, and neither does a last frame that never gets its closing FEND.
class KissStream {
public:
    using FrameSink = std::function<void(const KissFrame&)>;

    // Escaped bytes a live frame may hold between its FENDs. AX.25 frames are a few hundred
    // bytes; a frame that grows past this is dropped, and the stream waits for the next FEND.
    static constexpr std::size_t kMaxFrameBytes = 4096;
    // A file's frames are bounded by the file, which is in memory already.
    static constexpr std::size_t kUnbounded = std::numeric_limits<std::size_t>::max();

    explicit KissStream(std::size_t maxFrameBytes = kMaxFrameBytes) : maxFrameBytes_(maxFrameBytes) {}

    void Feed(std::string_view bytes, const FrameSink& sink);

    // Frames dropped for passing the bound.
    std::uint64_t droppedFrames() const { return droppedFrames_; }
    // Bytes of the unfinished frame held for the next arrival.
    std::size_t pendingBytes() const { return held_.size(); }

private:
    void EndFrame(std::string_view piece, const FrameSink& sink);
    void Hold(std::string_view rest);

    std::size_t maxFrameBytes_;
    bool inFrame_ = false;  // false until the first FEND, and after a frame was dropped
    std::string held_;      // the unfinished frame of an earlier arrival, its opening FEND first
    std::string unescaped_;
    std::uint64_t droppedFrames_ = 0;
};
