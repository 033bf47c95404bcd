#pragma once

#include "archive/archive_reader.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// The archive's passes and stations, read anew on a thread of its own whenever asked, so that
// a window following a busy archive never waits for it. The thread opens its own connection
// and alone uses it. Asks that come while it reads make one more read after it.
class ActivityWatch {
public:
    using Opener = std::function<std::unique_ptr<ArchiveReader>(QString& error)>;
    // Called on the watch's thread with each read's passes and stations, or why it failed.
    using Reader = std::function<void(StationActivity activity, const QString& error)>;

    ActivityWatch(Opener open, std::int64_t gapMs, Reader read);
    ~ActivityWatch();  // waits for a read under way

    void Ask();

private:
    void Run();

    Opener open_;
    std::int64_t gapMs_;
    Reader read_;
    std::mutex mutex_;
    std::condition_variable asked_;
    bool pending_ = false;
    bool stopping_ = false;
    std::thread thread_;
};
