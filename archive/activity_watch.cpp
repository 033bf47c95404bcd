#include "archive/activity_watch.h"

#include "archive/station_activity.h"

ActivityWatch::ActivityWatch(Opener open, std::int64_t gapMs, Reader read)
    : open_(std::move(open)), gapMs_(gapMs), read_(std::move(read)), thread_([this] { Run(); }) {}

ActivityWatch::~ActivityWatch() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    asked_.notify_one();
    thread_.join();
}

void ActivityWatch::Ask() {
    {
        std::lock_guard lock(mutex_);
        pending_ = true;
    }
    asked_.notify_one();
}

void ActivityWatch::Run() {
    std::unique_ptr<ArchiveReader> archive;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            asked_.wait(lock, [this] { return pending_ || stopping_; });
            if (stopping_) return;
            pending_ = false;
        }
        QString error;
        // a server gone away is reached again at the next ask
        if (archive && archive->Lost() && !archive->Reconnect()) archive.reset();
        if (!archive) archive = open_(error);
        StationActivity activity;
        if (archive && !(error = ReadStationActivity(*archive, {}, gapMs_, activity)).isEmpty()) error = archive->name() + ": " + error;
        read_(std::move(activity), error);
    }
}
