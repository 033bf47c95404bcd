#pragma once

#include <QString>

#include <string_view>

// The daily capture log of the live client: in the program's folder, one file per UTC day,
// "yyyy-MM-dd_orca5.kss". Each live frame goes in behind a time-stamp frame of its own,
// exactly as it arrived, so the capture file reads back as the same frames.
struct CaptureWrite {
    QString fileName;
    bool written = false;
    QString error;
};

// The file of the day a UTC time stamp text ("yyyy-MM-dd ...") begins with.
QString CaptureFileName(const QString& folder, std::string_view utcTimestampText);

// Appends the bytes to that file in one write, creating it when missing; what it held is
// never touched.
CaptureWrite AppendToCaptureLog(const QString& folder, std::string_view utcTimestampText, std::string_view bytes);
