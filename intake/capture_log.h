#pragma once

#include <QString>

#include <cstddef>
#include <string_view>

// The daily capture log of the live client: one file per UTC day, "yyyy-MM-dd_orca5.kss",
// in the capture folder. Each live frame goes in behind a time-stamp frame of its own,
// exactly as it arrived, so the capture file reads back as the same frames.
struct CaptureWrite {
    QString fileName;
    std::size_t frameBytes = 0;  // the frame as it arrived, without its time stamp
    bool written = false;
    QString error;
};

// The file of the day a UTC time stamp text ("yyyy-MM-dd ...") begins with.
QString CaptureFileName(const QString& folder, std::string_view utcTimestampText);

// Appends the bytes to that file in one write, creating it when missing; what it held is
// never touched.
CaptureWrite AppendToCaptureLog(const QString& folder, std::string_view utcTimestampText, std::string_view bytes);
