#include "intake/sids_forwarder.h"
#include "support/fake_sids_server.h"
#include "support/files.h"
#include "support/small_disk.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;
using Reply = FakeSidsServer::Reply;

namespace {

// The forwarder's clock: it notes every wait and runs the waiting step when the test says.
struct TestClock {
    SidsForwarder::Schedule Schedule() {
        return [this](std::chrono::milliseconds wait, std::function<void()> then) {
            waits.push_back(wait);
            due = std::move(then);
        };
    }
    void RunDue() { std::exchange(due, {})(); }

    std::vector<std::chrono::milliseconds> waits;
    std::function<void()> due;
};

struct Forwarding {
    // The outbox in a folder of the test's own, unless it names one.
    explicit Forwarding(SidsTiming timing = {}, const QString& outboxFolder = {})
        : outboxFolder(outboxFolder.isEmpty() ? folder.path() : outboxFolder) {
        station.url = QUrl(server.Url());
        station.callsign = "N0CALL";
        station.latitude = 48.85;
        station.longitude = -59.34;
        station.noradId = 99999;
        Start(timing);
    }
    void Start(SidsTiming timing = {}) {
        forwarder.reset();
        forwarder = std::make_unique<SidsForwarder>(station, "orca5s 0.6", outboxFolder, timing, clock.Schedule());
    }
    // Waits until the server has had the given number of requests and the forwarder its answer.
    void AnsweredUntil(std::size_t requests) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests.size() >= requests && clock.due; }, 5000))
            << server.requests.size() << " requests";
    }

    FakeSidsServer server;
    QTemporaryDir folder;
    QString outboxFolder;
    SidsStation station;
    TestClock clock;
    std::unique_ptr<SidsForwarder> forwarder;
};

}  // namespace

TEST(SidsForwarder, SendsEveryFieldOfTheSubmission) {
    Forwarding forwarding;
    forwarding.station.latitude = 48.853412;  // every digit a station gives reaches the database
    forwarding.station.longitude = -123.456789;
    forwarding.Start();
    forwarding.forwarder->Forward("2021-02-06 14:00:12.000", "c0ffee00");
    forwarding.AnsweredUntil(1);
    const FakeSidsServer::Request& request = forwarding.server.requests[0];
    EXPECT_EQ(request.requestLine, "POST /api/telemetry/ HTTP/1.1");
    EXPECT_EQ(request.contentType, "application/x-www-form-urlencoded");
    const std::pair<const char*, const char*> fields[] = {
        {"noradID", "99999"},   {"source", "N0CALL"},      {"timestamp", "2021-02-06T14:00:12.000Z"},
        {"frame", "C0FFEE00"},  {"locator", "longLat"},    {"longitude", "123.456789W"},
        {"latitude", "48.853412N"}, {"version", "orca5s 0.6"},
    };
    for (const auto& [name, value] : fields) EXPECT_EQ(request.form.queryItemValue(name, QUrl::FullyDecoded), value) << name;
    EXPECT_EQ(request.form.queryItems().size(), 8);
    EXPECT_EQ(forwarding.forwarder->status().sent, 1);
    EXPECT_EQ(forwarding.clock.waits.back(), 250ms) << "a few a second at most";
}

TEST(SidsForwarder, OneAtATimeInOrderNoneLostNoneTwice) {
    Forwarding forwarding;
    for (const char* frame : {"A1", "B2", "C3", "D4"}) forwarding.forwarder->Forward("2021-02-06 14:00:00.000", frame);
    for (std::size_t n = 1; n <= 4; ++n) {
        forwarding.AnsweredUntil(n);
        EXPECT_EQ(forwarding.server.requests.size(), n) << "the next waits for the answer";
        forwarding.clock.RunDue();
    }
    EXPECT_EQ(forwarding.server.Frames(), (QStringList{"A1", "B2", "C3", "D4"}));
    EXPECT_EQ(forwarding.forwarder->status().waiting, 0);
    EXPECT_EQ(Contents(QDir(forwarding.folder.path()).filePath(SidsOutbox::kOutboxName)), "");
}

TEST(SidsForwarder, TriesAgainLaterWithLongerWaitsAndRejectsFor400) {
    SidsTiming timing;
    timing.timeout = 300ms;
    Forwarding forwarding(timing);
    // a dropped connection Qt may try once more by itself: it is last but one, before the 400
    forwarding.server.script = {Reply::ServerError, Reply::TooMany, Reply::Silent, Reply::Drop, Reply::BadRequest};
    forwarding.forwarder->Forward("2021-02-06 14:00:00.000", "A1");
    forwarding.forwarder->Forward("2021-02-06 14:00:01.000", "B2");
    while (forwarding.forwarder->status().sent + forwarding.forwarder->status().rejected < 2) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return bool(forwarding.clock.due); }, 5000));
        forwarding.clock.RunDue();
    }
    const std::vector<std::chrono::milliseconds>& waits = forwarding.clock.waits;
    ASSERT_GE(waits.size(), 5u);
    EXPECT_EQ(std::vector(waits.begin(), waits.begin() + 3), (std::vector<std::chrono::milliseconds>{10s, 20s, 40s}));
    for (std::size_t i = 1; i + 2 < waits.size(); ++i) EXPECT_EQ(waits[i], 2 * waits[i - 1]) << "doubling, no test sleeps";
    EXPECT_EQ(std::vector(waits.end() - 2, waits.end()), (std::vector<std::chrono::milliseconds>{250ms, 250ms}));
    const QStringList frames = forwarding.server.Frames();
    EXPECT_EQ(frames.count("A1"), frames.size() - 1);
    EXPECT_EQ(frames.back(), "B2");
    const SidsStatus status = forwarding.forwarder->status();
    EXPECT_EQ(status.sent, 1);
    EXPECT_EQ(status.rejected, 1);
    EXPECT_TRUE(status.lastError.contains("not hexadecimal"));
    const QByteArray rejects = Contents(QDir(forwarding.folder.path()).filePath(SidsOutbox::kRejectsName));
    EXPECT_TRUE(rejects.startsWith("2021-02-06T14:00:00.000Z A1 {\"frame\"")) << rejects.toStdString();
}

TEST(SidsForwarder, TheOutboxSurvivesARestartAndALineCutMidAppend) {
    Forwarding forwarding;
    forwarding.server.script = {Reply::ServerError};
    forwarding.forwarder->Forward("2021-02-06 14:00:00.000", "A1");
    forwarding.forwarder->Forward("2021-02-06 14:00:01.000", "B2");
    forwarding.AnsweredUntil(1);
    // the program ends here, and its last append was cut off by a crash
    forwarding.forwarder.reset();
    QFile outbox(QDir(forwarding.folder.path()).filePath(SidsOutbox::kOutboxName));
    ASSERT_TRUE(outbox.open(QIODevice::Append));
    outbox.write("2021-02-06T14:00:02.000Z C");
    outbox.close();

    forwarding.Start();
    EXPECT_EQ(forwarding.forwarder->status().waiting, 2);
    forwarding.forwarder->Forward("2021-02-06 14:00:03.000", "D4");
    for (std::size_t n = 2; n <= 4; ++n) {
        forwarding.clock.RunDue();
        forwarding.AnsweredUntil(n);
    }
    EXPECT_EQ(forwarding.server.Frames(), (QStringList{"A1", "A1", "B2", "D4"}));
    EXPECT_EQ(forwarding.forwarder->status().waiting, 0);
}

TEST(SidsForwarder, ASmallDiskKeepsFramesWaitingAndSaysSoTwice) {
    SmallDisk disk;
    Forwarding forwarding({}, disk.Path());
    disk.Fill();
    forwarding.forwarder->Forward("2021-02-06 14:00:00.000", "A1");
    EXPECT_EQ(forwarding.forwarder->status().lastError, "outbox: No space left on device");
    forwarding.forwarder->status();
    forwarding.forwarder->Forward("2021-02-06 14:00:01.000", "B2");
    EXPECT_EQ(forwarding.forwarder->status().waiting, 2);
    EXPECT_TRUE(forwarding.server.requests.empty()) << "nothing is sent before it is kept";

    disk.Free();
    forwarding.forwarder->Forward("2021-02-06 14:00:02.000", "C3");
    EXPECT_EQ(forwarding.forwarder->status().lastError, "outbox: written again, 2 frames had waited");
    for (std::size_t n = 1; n <= 3; ++n) {
        forwarding.AnsweredUntil(n);
        forwarding.clock.RunDue();
    }
    EXPECT_EQ(forwarding.server.Frames(), (QStringList{"A1", "B2", "C3"}));
}
