#pragma once

#include "limits/limit_judge.h"

#include <QProcessEnvironment>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// Tells a command of each transition: "/bin/sh -c COMMAND" with ORCA5_TIME, ORCA5_CHANNEL,
// ORCA5_STATE, ORCA5_PREVIOUS, ORCA5_VALUE, ORCA5_LIMIT and ORCA5_STATION in its environment,
// one at a time and in order, on a thread of its own so that no road waits for it. A command
// that runs past the time allowed is ended and counted; one that fails is counted, and the
// first named. Its standard output is dropped (it would mix with the rows); its errors show.
class AlarmHook {
public:
    struct Counts {
        std::int64_t ran = 0;
        std::int64_t failed = 0;   // ended with a status other than 0, or not started
        std::int64_t overran = 0;  // ended for running too long
        std::int64_t dropped = 0;  // not run: too many waited
        QString firstFailure;
    };

    // With a limit of waiting commands (live: further ones are dropped and counted), or none
    // (0: files, whose transitions all run).
    AlarmHook(QString command, std::string station, std::size_t waitingAtMost = 0,
              std::chrono::milliseconds allowed = std::chrono::seconds(10));
    ~AlarmHook();
    AlarmHook(const AlarmHook&) = delete;

    void Tell(const LimitTransition& transition);
    // Waits for every command told so far to end: what a program reading files does before it
    // ends. One that ends without waits only for the command running.
    Counts Finish();

private:
    void Run();  // the thread

    QString command_;
    std::string station_;
    std::size_t waitingAtMost_;
    std::chrono::milliseconds allowed_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<QProcessEnvironment> waiting_;
    bool running_ = false;
    bool stopping_ = false;
    Counts counts_;
    std::thread thread_;
};

// "3 alarm commands run, 1 failed (...), 0 ended after 10 s, 0 dropped"
QString AlarmCountsText(const AlarmHook::Counts& counts);
