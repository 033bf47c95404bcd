#include "intake/kiss_stream.h"

#include "intake/kiss.h"

void KissStream::Feed(std::string_view bytes, const FrameSink& sink) {
    // the current frame's opening FEND when it is in these bytes; 0 while it is held
    std::size_t frameStart = 0;
    for (std::size_t fend = bytes.find(kFend); fend != std::string_view::npos; fend = bytes.find(kFend, fend + 1)) {
        if (inFrame_) EndFrame(bytes.substr(frameStart, fend + 1 - frameStart), sink);
        inFrame_ = true;
        held_.clear();
        frameStart = fend;
    }
    if (inFrame_) Hold(bytes.substr(frameStart));
}

// The frame ends with this piece: the whole frame, or the rest of the one held.
void KissStream::EndFrame(std::string_view piece, const FrameSink& sink) {
    std::string_view raw = piece;  // a frame that came in one arrival is never copied
    if (!held_.empty()) raw = held_.append(piece);
    if (raw.size() <= 2) return;  // nothing between the FENDs
    const std::string_view escaped = raw.substr(1, raw.size() - 2);
    if (escaped.size() > maxFrameBytes_) {
        ++droppedFrames_;
        return;
    }
    KissUnescape(escaped, unescaped_);
    sink(KissFrame{raw, unescaped_});
}

// The arrival ends inside a frame: keep it for the next one, unless it is past the bound.
void KissStream::Hold(std::string_view rest) {
    const std::size_t escaped = held_.size() + rest.size() - 1;  // less the opening FEND
    if (escaped > maxFrameBytes_) {
        ++droppedFrames_;
        inFrame_ = false;  // resynchronise at the next FEND
        held_.clear();
        return;
    }
    held_.append(rest);
}
