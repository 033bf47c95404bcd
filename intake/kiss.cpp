#include "intake/kiss.h"

void KissUnescape(std::string_view frame, std::string& bytes) {
    bytes.clear();
    for (std::size_t fesc = frame.find(kFesc); fesc != std::string_view::npos; fesc = frame.find(kFesc)) {
        bytes.append(frame.substr(0, fesc));
        const char next = fesc + 1 < frame.size() ? frame[fesc + 1] : '\0';
        const bool escape = next == kTfend || next == kTfesc;
        bytes += next == kTfend ? kFend : kFesc;
        frame.remove_prefix(fesc + (escape ? 2 : 1));
    }
    bytes.append(frame);
}

std::string KissDataFrame(std::string_view frame, char command) {
    std::string kiss;
    kiss.reserve(frame.size() + 8);
    kiss += kFend;
    kiss += command;
    for (const char c : frame) {
        if (c == kFend)
            kiss.append({kFesc, kTfend});
        else if (c == kFesc)
            kiss.append({kFesc, kTfesc});
        else
            kiss += c;
    }
    kiss += kFend;
    return kiss;
}
