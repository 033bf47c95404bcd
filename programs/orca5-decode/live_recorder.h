#pragma once

#include "archive/archive_feed.h"
#include "batch/batch_decode.h"
#include "intake/configuration.h"

#include <QString>

#include <functional>
#include <optional>

struct LiveServer {
    QString host;
    int port = 0;
};

// "HOST:PORT", or nothing when it is not one.
std::optional<LiveServer> ParseLiveServer(const QString& text);

// A station without a display: records a KISS server's frames into the daily capture files,
// reconnecting whenever the server goes away, forwards them when the configuration says so,
// and writes each packet out as it comes. Runs until SIGINT or SIGTERM; returns the exit code.
// With a feed, every satellite frame also goes into the archive, committed after each arrival
// and before its rows are written. The tick is called every few seconds, arrivals or none.
int RunLiveRecorder(BatchDecoder& decoder, const LiveServer& server, const QString& captureFolder,
                    const Configuration& configuration, const QString& version, ArchiveFeed* archive,
                    const std::function<void()>& tick);
