#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// One complete KISS frame out of a byte stream.
struct KissFrame {
    std::string_view raw;        // FEND, the frame's bytes as they came (escaped), FEND
    std::string_view unescaped;  // the frame's bytes with the escapes undone, command byte first
};

// Bytes in, whole frames out. A TCP stream keeps no message boundaries, so a frame may come
// in pieces over several arrivals or share one with others: the unfinished frame waits here
// for the rest. Bytes before the first FEND are not part of any frame; empty frames (two
// FENDs in a row) yield nothing.
class KissStream {
public:
    using FrameSink = std::function<void(const KissFrame&)>;

    // Escaped bytes a frame may hold between its FENDs. AX.25 frames are a few hundred
    // bytes; a frame that grows past this is dropped, and the stream waits for the next FEND.
    static constexpr std::size_t kMaxFrameBytes = 4096;

    void Feed(std::string_view bytes, const FrameSink& sink);

    // Frames dropped for passing kMaxFrameBytes.
    std::uint64_t droppedFrames() const { return droppedFrames_; }
    // Bytes of the unfinished frame held for the next arrival.
    std::size_t pendingBytes() const { return raw_.size(); }

private:
    void TakeFrameBytes(std::string_view bytes);
    void EndFrame(const FrameSink& sink);

    bool inFrame_ = false;  // false until the first FEND, and after a frame was dropped
    std::string raw_;       // the unfinished frame, its opening FEND first
    std::uint64_t droppedFrames_ = 0;
};
