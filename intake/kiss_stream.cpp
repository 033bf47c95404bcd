#include "intake/kiss_stream.h"

#include "intake/kiss.h"

void KissStream::Feed(std::string_view bytes, const FrameSink& sink) {
    for (std::size_t fend = bytes.find(kFend); fend != std::string_view::npos; fend = bytes.find(kFend)) {
        TakeFrameBytes(bytes.substr(0, fend));
        EndFrame(sink);
        bytes.remove_prefix(fend + 1);
    }
    TakeFrameBytes(bytes);
}

void KissStream::TakeFrameBytes(std::string_view bytes) {
    if (!inFrame_ || bytes.empty()) return;
    if (raw_.size() - 1 + bytes.size() > kMaxFrameBytes) {
        ++droppedFrames_;
        inFrame_ = false;  // resynchronise at the next FEND
        raw_.clear();
        return;
    }
    raw_.append(bytes);
}

void KissStream::EndFrame(const FrameSink& sink) {
    if (inFrame_ && raw_.size() > 1) {
        raw_ += kFend;
        const std::string unescaped = KissUnescape(std::string_view(raw_).substr(1, raw_.size() - 2));
        sink(KissFrame{raw_, unescaped});
    }
    inFrame_ = true;
    raw_.assign(1, kFend);
}
