#include "telemetry/time_stamps.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTimeZone>

#include <cstdlib>
#include <ctime>

TEST(UtcOffset, FollowsTheBiasOfTheSeasonInForce) {
    const TimeZoneInformation berlin{.bias = -60, .standardBias = 0, .daylightBias = -60};
    EXPECT_EQ(UtcOffsetMinutes(berlin), 60);
    EXPECT_EQ(UtcOffsetMinutes({.bias = -60, .standardBias = 0, .daylightBias = -60, .daylightInForce = true}), 120);

    const TimeZoneInformation newYorkSummer{.bias = 300, .standardBias = 0, .daylightBias = -60, .daylightInForce = true};
    EXPECT_EQ(UtcOffsetMinutes(newYorkSummer), -240);
    EXPECT_EQ(UtcOffsetMinutes({}), 0) << "an unknown zone: UTC is local time";
}

TEST(UtcOffset, ReadsThePlatformTimeZone) {
    const QByteArray saved = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const TimeZoneInformation winter =
        SystemTimeZoneInformation(QDateTime(QDate(2021, 2, 6), QTime(12, 0), QTimeZone("Europe/Berlin")));
    const TimeZoneInformation summer =
        SystemTimeZoneInformation(QDateTime(QDate(2021, 7, 1), QTime(12, 0), QTimeZone("Europe/Berlin")));
    if (saved.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", saved);
    tzset();

    EXPECT_EQ(UtcOffsetMinutes(winter), 60);
    EXPECT_EQ(UtcOffsetMinutes(summer), 120);
    EXPECT_TRUE(summer.daylightInForce);
    const QDateTime now = QDateTime::currentDateTime();
    EXPECT_EQ(LocalUtcOffsetMinutes(now), now.offsetFromUtc() / 60);
}

TEST(UtcTimestamp, SubtractsTheOffsetFromTheLocalClock) {
    const QDateTime local(QDate(2021, 2, 6), QTime(15, 4, 5, 7));
    EXPECT_EQ(UtcTimestampText(UtcFromLocal(local, 60)), "2021-02-06 14:04:05.007");

    const QDateTime afterMidnight(QDate(2021, 3, 1), QTime(0, 30));
    EXPECT_EQ(UtcTimestampText(UtcFromLocal(afterMidnight, 60)), "2021-02-28 23:30:00.000");
    EXPECT_EQ(UtcTimestampText(UtcFromLocal(afterMidnight, -240)), "2021-03-01 04:30:00.000");
}

TEST(UtcTimestamp, NowIsTheUtcClockInOneReading) {
    const QDateTime before = QDateTime::currentDateTimeUtc();
    const std::string text = UtcTimestampText();
    const QDateTime after = QDateTime::currentDateTimeUtc();

    ASSERT_EQ(text.size(), 23u);
    const QDateTime read = QDateTime::fromString(QString::fromStdString(text), "yyyy-MM-dd HH:mm:ss.zzz");
    ASSERT_TRUE(read.isValid()) << text;
    const QDateTime stamped(read.date(), read.time(), Qt::UTC);
    EXPECT_GE(stamped, before.addMSecs(-1));
    EXPECT_LE(stamped, after.addMSecs(1));

    EXPECT_LE(std::abs(UtcNow().secsTo(QDateTime::currentDateTimeUtc())), 2);
}

TEST(DateFromUnixSeconds, CoversTheYears100To9999) {
    EXPECT_EQ(DateFromUnixSeconds(0), QDateTime(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(DateFromUnixSeconds(1612620000), QDateTime(QDate(2021, 2, 6), QTime(14, 0), Qt::UTC));
    EXPECT_EQ(DateFromUnixSeconds(-1), QDateTime(QDate(1969, 12, 31), QTime(23, 59, 59), Qt::UTC));
    EXPECT_EQ(DateFromUnixSeconds(253402300800), std::nullopt);  // 10000-01-01
    EXPECT_EQ(DateFromUnixSeconds(INT64_MIN), std::nullopt);
}

TEST(TimeStampFrames, WriteAndReadTheTextForm) {
    std::string rxTimeText;
    std::string capture = "earlier";
    WriteRxTimeFrame("2021-02-06 14:00:00.123", rxTimeText, capture);

    ASSERT_EQ(capture.size(), 7 + kRxTimeFrameLength);
    EXPECT_EQ(rxTimeText, "2021-02-06 14:00:00.123 UTC");
    EXPECT_EQ(capture.substr(7), "\xC0\x09" + rxTimeText + "\xC0");

    std::string read = "unchanged";
    RxTimeFromTextFrame(capture.substr(8, kRxTimeTextLength + 1), read);
    EXPECT_EQ(read, rxTimeText);
}

TEST(TimeStampFrames, TextFormTakesThe27CharactersEndingInUtc) {
    std::string rxTimeText = "before";
    RxTimeFromTextFrame("\x09garbage 2021-02-06 14:00:00.123 UTC and more UTC", rxTimeText);
    EXPECT_EQ(rxTimeText, "2021-02-06 14:00:00.123 UTC");

    RxTimeFromTextFrame("\x09" "021-02-06 14:00:00.123 UTC", rxTimeText);  // "UTC" at position 25
    EXPECT_EQ(rxTimeText, "\x09" "021-02-06 14:00:00.123 UTC");

    rxTimeText = "before";
    RxTimeFromTextFrame("\x09" "21-02-06 14:00:00.123 UTC", rxTimeText);  // at position 24: too early
    EXPECT_EQ(rxTimeText, "before");
    RxTimeFromTextFrame("\x09 2021-02-06 14:00:00.123 utc", rxTimeText);
    EXPECT_EQ(rxTimeText, "before");
}

TEST(TimeStampFrames, MillisecondFormUsesTheLocaleGeneralDate) {
    const QLocale german(QLocale::German, QLocale::Germany);
    const QDateTime stamp(QDate(2021, 2, 6), QTime(14, 0), Qt::UTC);
    std::string rxTimeText;

    RxTimeFromMillisFrame(std::string("\x09\x00\x00\x01\x77\x77\xA4\x6B\x7B", 9), rxTimeText, german);
    EXPECT_EQ(rxTimeText, GeneralDateText(stamp, german) + ".123 UTC");
    EXPECT_EQ(rxTimeText, "06.02.21 14:00:00.123 UTC");

    RxTimeFromMillisFrame(std::string("\x09\x00\x00\x01\x77\x77\xA4\x6B\x05", 9), rxTimeText, german);
    EXPECT_EQ(rxTimeText, "06.02.21 14:00:00.005 UTC");

    const QLocale american(QLocale::English, QLocale::UnitedStates);
    RxTimeFromMillisFrame(std::string("\x09\x00\x00\x01\x77\x77\xA4\x6B\x7B", 9), rxTimeText, american);
    EXPECT_EQ(rxTimeText, GeneralDateText(stamp, american) + ".123 UTC");
    EXPECT_EQ(rxTimeText.find(" UTC"), rxTimeText.size() - 4) << "no zone name inside the date: " << rxTimeText;

    RxTimeFromMillisFrame(std::string("\x09\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 9), rxTimeText, german);
    EXPECT_EQ(rxTimeText, ".615 UTC") << "beyond the year 9999 the date is empty";
}

TEST(UtcMilliseconds, OnlyDatesAndTimesThatExist) {
    const std::pair<const char*, std::optional<std::int64_t>> texts[] = {
        {"2021-02-06 14:00:00.123", 1612620000123},
        {"2021-02-06T14:00:00", 1612620000000},
        {"2020-02-29", 1582934400000},
        {"2000-02-29", 951782400000},
        {"2021-12-31 23:59:59.999", 1640995199999},
        {"2021-13-01", std::nullopt},
        {"2021-00-10", std::nullopt},
        {"2021-02-29", std::nullopt},
        {"1900-02-29", std::nullopt},
        {"2020-02-30", std::nullopt},
        {"2021-04-31", std::nullopt},
        {"2021-01-00", std::nullopt},
        {"2021-02-06 24:00:00", std::nullopt},
        {"2021-02-06 23:60:00", std::nullopt},
        {"2021-02-06 23:59:60", std::nullopt},
    };
    for (const auto& [text, milliseconds] : texts) EXPECT_EQ(UtcMilliseconds(text), milliseconds) << text;
}
