#pragma once

#include <QDateTime>
#include <QLocale>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Reception times are UTC, from the computer's clock and time zone.

// The time-zone record of the platform, in minutes of UTC minus local time.
struct TimeZoneInformation {
    int bias = 0;
    int standardBias = 0;
    int daylightBias = 0;
    bool daylightInForce = false;
};

// Local time minus UTC, in minutes: 60 an hour east of Greenwich, 120 there in summer.
std::int16_t UtcOffsetMinutes(const TimeZoneInformation& zone);

// The system time zone at the given instant, as the platform's time-zone record.
TimeZoneInformation SystemTimeZoneInformation(const QDateTime& at);

// The offset in force at the given local date-time.
std::int16_t LocalUtcOffsetMinutes(const QDateTime& local);

// The UTC date-time whose wall clock is local minus the offset, marked as UTC.
QDateTime UtcFromLocal(const QDateTime& local, int offsetMinutes);

// UTC now, to the millisecond, from one reading of the local clock.
QDateTime UtcNow();

// "yyyy-MM-dd HH:mm:ss.zzz" of a UTC date-time.
std::string UtcTimestampText(const QDateTime& utc);
// The same of UTC now, from a single reading of the clock.
std::string UtcTimestampText();

// "2021-02-06T14:00:00.123Z" of a reception time that begins "2021-02-06 14:00:00", with or
// without ".123" after it; empty for any other text.
std::string IsoRxTime(std::string_view rxTime);

// UTC milliseconds since 1970 of a reception time that begins "2021-02-06 14:00:00" (or
// "2021-02-06T14:00:00"), with or without ".123"; of a date alone, its midnight. Nothing for
// any other text, or a date or time that does not exist.
std::optional<std::int64_t> UtcMilliseconds(std::string_view text);
// The same of a time typed by a user, the whole text: "2021-02-06", "2021-02-06 14:00:00" or
// "2021-02-06T14:00:00.123Z"; nothing for any other form.
std::optional<std::int64_t> ParseUtcTime(const QString& text);
// "2021-02-06 14:00:00.123 UTC" of UTC milliseconds since 1970, as the live client stamps;
// made by hand, not through QDateTime, since an archive's export makes a million of them.
std::string RxTimeTextOf(std::int64_t milliseconds);

// 1970-01-01 00:00:00 UTC plus the given seconds; nothing outside the years 100 to 9999.
std::optional<QDateTime> DateFromUnixSeconds(std::int64_t seconds);

// The locale's general date: short date, a space, long time (without a zone name).
std::string GeneralDateText(const QDateTime& dateTime, const QLocale& locale);

// Time-stamp frames of capture files: KISS frames with the command byte 9.
inline constexpr unsigned char kTimeStampCommand = 9;
inline constexpr std::size_t kMillisFrameLength = 9;       // command byte and 8-byte count
inline constexpr std::size_t kRxTimeTextLength = 27;       // "yyyy-MM-dd HH:mm:ss.zzz UTC"
inline constexpr std::size_t kRxTimeFrameLength = kRxTimeTextLength + 3;

// Appends FEND, 9, the text (not escaped: it never holds FEND or FESC), FEND.
void AppendRxTimeFrame(std::string& capture, std::string_view rxTimeText);

// Sets rxTimeText to the UTC time stamp text with " UTC" and appends its time-stamp frame to
// the capture bytes. The live intake passes the reading it decoded the frame with.
void WriteRxTimeFrame(std::string_view utcTimestampText, std::string& rxTimeText, std::string& capture);

// The 27 characters that end with the frame's first "UTC", when 24 characters stand before
// them (the command byte counts); otherwise rxTimeText keeps its value.
void RxTimeFromTextFrame(std::string_view frame, std::string& rxTimeText);

// A 9-byte frame: the command byte, then milliseconds since 1970 as a big-endian count.
void RxTimeFromMillisFrame(std::string_view frame, std::string& rxTimeText, const QLocale& locale = QLocale());
