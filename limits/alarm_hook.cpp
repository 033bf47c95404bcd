#include "limits/alarm_hook.h"

#include "telemetry/value_text.h"

#include <QProcess>

namespace {

QString Number(const std::optional<double>& value) {
    if (!value) return {};
    std::string text;
    AppendValueText(text, *value, '.');
    return QString::fromStdString(text);
}

}  // namespace

AlarmHook::AlarmHook(QString command, std::string station, std::size_t waitingAtMost, std::chrono::milliseconds allowed)
    : command_(std::move(command)), station_(std::move(station)), waitingAtMost_(waitingAtMost), allowed_(allowed),
      thread_([this] { Run(); }) {}

// a program that ends waits for the command running, not for those waiting
AlarmHook::~AlarmHook() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void AlarmHook::Tell(const LimitTransition& transition) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ORCA5_TIME", QString::fromStdString(transition.rxTime));
    environment.insert("ORCA5_CHANNEL", transition.channel == kSatellite ? QStringLiteral("*")
                                                                        : QString::fromLatin1(kChannels[static_cast<std::size_t>(transition.channel)].name));
    environment.insert("ORCA5_STATE", QString::fromLatin1(transition.state));
    environment.insert("ORCA5_PREVIOUS", QString::fromLatin1(transition.previous));
    environment.insert("ORCA5_VALUE", Number(transition.value));
    environment.insert("ORCA5_LIMIT", Number(transition.threshold));
    environment.insert("ORCA5_STATION", QString::fromStdString(station_));
    const std::lock_guard lock(mutex_);
    if (waitingAtMost_ > 0 && waiting_.size() >= waitingAtMost_) return void(++counts_.dropped);
    waiting_.push_back(std::move(environment));
    changed_.notify_all();
}

AlarmHook::Counts AlarmHook::Finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return waiting_.empty() && !running_; });
    return counts_;
}

void AlarmHook::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return !waiting_.empty() || stopping_; });
        if (stopping_) return;
        const QProcessEnvironment environment = std::move(waiting_.front());
        waiting_.pop_front();
        running_ = true;
        lock.unlock();
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start("/bin/sh", {"-c", command_});
        QString failure;
        bool overran = false;
        if (!process.waitForStarted()) {
            failure = process.errorString();
        } else if (!process.waitForFinished(static_cast<int>(allowed_.count()))) {
            process.kill();
            process.waitForFinished();
            overran = true;
        } else if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            failure = QStringLiteral("exit status %1").arg(process.exitCode());
        }
        lock.lock();
        ++counts_.ran;
        if (overran) ++counts_.overran;
        if (!failure.isEmpty()) {
            ++counts_.failed;
            if (counts_.firstFailure.isEmpty()) counts_.firstFailure = failure;
        }
        running_ = false;
        changed_.notify_all();
    }
}

QString AlarmCountsText(const AlarmHook::Counts& counts) {
    QString text = QStringLiteral("%1 alarm commands run, %2 failed").arg(counts.ran).arg(counts.failed);
    if (!counts.firstFailure.isEmpty()) text += " (the first: " + counts.firstFailure + ")";
    return text + QStringLiteral(", %1 ended after running too long, %2 dropped").arg(counts.overran).arg(counts.dropped);
}
