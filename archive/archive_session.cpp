#include "archive/archive_session.h"

std::unique_ptr<ArchiveSession> ArchiveSession::Open(const QString& location, const std::string& station, const QString& waitingFile,
                                                     QString& error) {
    std::unique_ptr<ArchiveSession> session(new ArchiveSession);
    session->location_ = location;
    if (session->writer_ = OpenArchiveWriter(location, WriterRole::Station, error); !session->writer_) return nullptr;
    if (session->reader_ = OpenArchiveReader(location, error); !session->reader_) return nullptr;
    session->feed_.emplace(*session->writer_, station, 10000, waitingFile);
    ArchiveSession* self = session.get();
    session->feed_->committed = [self](const FeedReport& report) { emit self->committed(report); };
    return session;
}

ArchiveReader* ArchiveSession::Reader(QString& error) {
    reader_->NewestPacketTime();  // a server the connection lost shows it here
    if (reader_->Lost() && !reader_->Reconnect()) {
        error = reader_->name() + " cannot be reached";
        return nullptr;
    }
    return reader_.get();
}
