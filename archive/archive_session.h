#pragma once

#include "archive/archive_feed.h"
#include "archive/archive_location.h"

#include <QObject>

#include <memory>
#include <optional>

// A window's archive: the writer's connection, which the feed's thread alone uses; the feed
// the roads hand their frames to; and the window's own reader. Live frames never wait for the
// database: their commit's figures come back by `committed`, queued to the window's thread.
class ArchiveSession : public QObject {
    Q_OBJECT

public:
    // The archive at the location, fed with the station's callsign; frames wait in the file
    // while a server cannot be reached. Null with the reason.
    static std::unique_ptr<ArchiveSession> Open(const QString& location, const std::string& station, const QString& waitingFile,
                                                QString& error);

    const QString& location() const { return location_; }
    QString name() const { return writer_->name(); }

    void Take(std::string_view frame, const FrameFacts& facts) { feed_->Take(frame, facts); }
    // The batch in hand ended once the writer has it all; its figures come by `committed`.
    void CommitLater() { feed_->CommitLater(); }
    // ... waited for: before what came in last is read back.
    FeedReport Commit() { return feed_->Commit(); }

    // The window's reader, reached again when a server had gone away; null with the reason
    // when it cannot be.
    ArchiveReader* Reader(QString& error);
    // A reader of its own, for a window that reads while this one is used.
    std::unique_ptr<ArchiveReader> OpenReader(QString& error) const { return OpenArchiveReader(location_, error); }

signals:
    void committed(const FeedReport& report);

private:
    ArchiveSession() = default;

    QString location_;
    // in this order: the feed, which writes through the writer, ends first
    std::unique_ptr<ArchiveWriter> writer_;
    std::unique_ptr<ArchiveReader> reader_;
    std::optional<ArchiveFeed> feed_;
};
