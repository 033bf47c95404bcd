#include "telemetry/time_stamps.h"

#include <QRegularExpression>

#include <QTimeZone>

#include <cctype>
#include <cstdio>

std::int16_t UtcOffsetMinutes(const TimeZoneInformation& zone) {
    const int sum = zone.bias + (zone.daylightInForce ? zone.daylightBias : zone.standardBias);
    return static_cast<std::int16_t>(-sum);
}

TimeZoneInformation SystemTimeZoneInformation(const QDateTime& at) {
    const QTimeZone zone = QTimeZone::systemTimeZone();
    TimeZoneInformation info;
    if (!zone.isValid()) return info;  // unknown zone: UTC equals local time
    info.bias = -zone.standardTimeOffset(at) / 60;
    info.daylightInForce = zone.isDaylightTime(at);
    if (info.daylightInForce) info.daylightBias = -zone.daylightTimeOffset(at) / 60;
    return info;
}

std::int16_t LocalUtcOffsetMinutes(const QDateTime& local) {
    return UtcOffsetMinutes(SystemTimeZoneInformation(local));
}

QDateTime UtcFromLocal(const QDateTime& local, int offsetMinutes) {
    return QDateTime(local.date(), local.time(), Qt::UTC).addSecs(-60LL * offsetMinutes);
}

QDateTime UtcNow() {
    // one reading of the local clock, turned into UTC by the zone in force at that instant
    const QDateTime local = QDateTime::currentDateTime();
    return UtcFromLocal(local, LocalUtcOffsetMinutes(local));
}

std::string UtcTimestampText(const QDateTime& utc) {
    const QDate date = utc.date();
    const QTime time = utc.time();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", date.year(), date.month(), date.day(),
                  time.hour(), time.minute(), time.second(), time.msec());
    return text;
}

std::string UtcTimestampText() {
    // one reading: the milliseconds belong to the same second
    return UtcTimestampText(UtcNow());
}

namespace {

bool Matches(std::string_view text, std::string_view pattern) {
    if (text.size() < pattern.size()) return false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';  // the C locale's digits, without a call a character
        if (pattern[i] == 'd' ? !digit : text[i] != pattern[i]) return false;
    }
    return true;
}

}  // namespace

std::string IsoRxTime(std::string_view rxTime) {
    if (!Matches(rxTime, "dddd-dd-dd dd:dd:dd")) return {};
    std::string iso(rxTime.substr(0, 19));
    iso[10] = 'T';
    iso += Matches(rxTime.substr(19), ".ddd") ? rxTime.substr(19, 4) : ".000";
    return iso + 'Z';
}

namespace {

// Days from 1970-01-01 of a date in the proleptic Gregorian calendar, and back (H. Hinnant).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, unsigned& m, unsigned& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

int Digits(std::string_view text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) value = value * 10 + (text[i] - '0');
    return value;
}

}  // namespace

std::optional<std::int64_t> UtcMilliseconds(std::string_view text) {
    if (!Matches(text, "dddd-dd-dd")) return std::nullopt;
    const int year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    if (text.size() > 10) {
        if ((text[10] != ' ' && text[10] != 'T') || !Matches(text.substr(11), "dd:dd:dd")) return std::nullopt;
        hour = Digits(text, 11, 2), minute = Digits(text, 14, 2), second = Digits(text, 17, 2);
        if (Matches(text.substr(19), ".ddd")) millisecond = Digits(text, 20, 3);
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int monthDays[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > monthDays[month - 1] || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    const std::int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    return ((days * 24 + hour) * 60 + minute) * 60000 + second * 1000 + millisecond;
}

std::string RxTimeTextOf(std::int64_t milliseconds) {
    const std::int64_t days = (milliseconds >= 0 ? milliseconds : milliseconds - 86399999) / 86400000;
    const std::int64_t inDay = milliseconds - days * 86400000;
    int year;
    unsigned month, day;
    CivilFromDays(days, year, month, day);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d.%03d UTC", year, month, day,
                  static_cast<int>(inDay / 3600000), static_cast<int>(inDay / 60000 % 60),
                  static_cast<int>(inDay / 1000 % 60), static_cast<int>(inDay % 1000));
    return text;
}

std::optional<QDateTime> DateFromUnixSeconds(std::int64_t seconds) {
    static const std::int64_t kFirst = QDateTime(QDate(100, 1, 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
    static const std::int64_t kLast = QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC).toSecsSinceEpoch();
    if (seconds < kFirst || seconds > kLast) return std::nullopt;
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

namespace {

// Qt's long time format ends in the zone name ("t"); the general date has none.
QString LongTimeFormatWithoutZone(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'') quoted = !quoted;
        if (!quoted && c == u't') continue;
        result += c;
    }
    return result.trimmed();
}

}  // namespace

std::string GeneralDateText(const QDateTime& dateTime, const QLocale& locale) {
    const QString text = locale.toString(dateTime.date(), QLocale::ShortFormat) + u' ' +
                         locale.toString(dateTime.time(), LongTimeFormatWithoutZone(locale));
    return text.toLatin1().toStdString();
}

void AppendRxTimeFrame(std::string& capture, std::string_view rxTimeText) {
    capture += '\xC0';
    capture += static_cast<char>(kTimeStampCommand);
    capture.append(rxTimeText);
    capture += '\xC0';
}

void WriteRxTimeFrame(std::string_view utcTimestampText, std::string& rxTimeText, std::string& capture) {
    rxTimeText.assign(utcTimestampText).append(" UTC");
    AppendRxTimeFrame(capture, rxTimeText);
}

void RxTimeFromTextFrame(std::string_view frame, std::string& rxTimeText) {
    const std::size_t utc = frame.find("UTC");
    constexpr std::size_t kBeforeUtc = kRxTimeTextLength - 3;
    if (utc == std::string_view::npos || utc < kBeforeUtc) return;
    rxTimeText.assign(frame.substr(utc - kBeforeUtc, kRxTimeTextLength));
}

void RxTimeFromMillisFrame(std::string_view frame, std::string& rxTimeText, const QLocale& locale) {
    if (frame.size() != kMillisFrameLength) return;
    std::uint64_t millis = 0;
    for (std::size_t i = 1; i < kMillisFrameLength; ++i) millis = millis << 8 | static_cast<std::uint8_t>(frame[i]);

    const std::uint64_t seconds = millis / 1000;
    const auto date = seconds <= static_cast<std::uint64_t>(INT64_MAX)
                          ? DateFromUnixSeconds(static_cast<std::int64_t>(seconds))
                          : std::nullopt;
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%03u", static_cast<unsigned>(millis % 1000));
    rxTimeText = (date ? GeneralDateText(*date, locale) : std::string()) + fraction + " UTC";
}

std::optional<std::int64_t> ParseUtcTime(const QString& text) {
    static const QRegularExpression kForm(R"(^\d{4}-\d\d-\d\d([ T]\d\d:\d\d:\d\d(\.\d{3})?Z?)?$)");
    if (!kForm.match(text).hasMatch()) return std::nullopt;
    return UtcMilliseconds(text.toStdString());
}
