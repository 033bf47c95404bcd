// Writes a KISS capture of made-up ORCA-5 beacons, one a minute over a few orbits, for
// trying the programs and for the pictures in docs/: orca5_demo_capture FILE [COUNT]
#include "intake/frame_recognition.h"
#include "intake/kiss.h"
#include "support/beacon_builder.h"
#include "telemetry/time_stamps.h"

#include <QDateTime>
#include <QTimeZone>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

namespace {

constexpr double kOrbitMinutes = 94;

std::uint16_t Millis(double value) { return static_cast<std::uint16_t>(std::lround(value * 1000)); }
std::uint16_t Whole(double value) { return static_cast<std::uint16_t>(std::max(0L, std::lround(value))); }
std::int8_t Degrees(double value) { return static_cast<std::int8_t>(std::lround(value)); }

std::string BinaryText(int value) {
    std::string text;
    for (int bit = 3; bit >= 0; --bit) text += (value >> bit & 1) ? '1' : '0';
    return text;
}

// The first beacon is received at 14:00 UTC on the 6th of February 2021, the others a minute
// apart: over midnight into the next days, as a long capture would be.
QDateTime ReceivedAt(int minute, int second) {
    return QDateTime(QDate(2021, 2, 6), QTime(14, 0), QTimeZone::utc()).addSecs(60LL * minute + second);
}

// One minute of the orbit: sunlight on the panels, the batteries charging, or eclipse.
std::string Beacon(int minute) {
    const double phase = std::fmod(minute, kOrbitMinutes) / kOrbitMinutes;
    const bool sunlit = phase < 0.62;
    const double sun = sunlit ? std::sin(phase / 0.62 * M_PI) : 0;
    const double warmth = std::sin(2 * M_PI * (phase - 0.15));

    BeaconBuilder beacon;
    beacon.text(17, "ORCA-5 TLM #: " + BinaryText(minute % 16) + BinaryText(15) + "JOB00042");
    beacon.u32(47, 0x1A2B0000u | static_cast<std::uint32_t>(minute)).u32(51, 1200 + minute).u32(55, 3);
    const QDateTime onBoard = ReceivedAt(minute, 7);
    const auto part = [](int value) { return static_cast<std::uint8_t>(value); };
    beacon.obcTime(part(onBoard.date().year() % 100), part(onBoard.date().month()), part(onBoard.date().day()),
                   part(onBoard.time().hour()), part(onBoard.time().minute()), part(onBoard.time().second()));
    beacon.u32(65, 60).u16(70, 12).u8(72, 0).u8(73, 2).u8(74, 1);
    beacon.s8(75, Degrees(21 + 6 * warmth)).s8(76, Degrees(19 + 5 * warmth));
    beacon.u16(77, Millis(8.1 + 0.25 * sun)).u16(79, Whole(240 + 60 * sun));
    beacon.u16(81, Millis(7.9 + 0.2 * sun)).u16(83, Whole(110 + 30 * sun));
    for (int battery = 0; battery < 3; ++battery) {
        const int offset = 85 + 5 * battery;
        beacon.u16(offset, Millis(3.95 + 0.15 * sun - 0.02 * battery + 0.05 * std::sin(minute / 7.0)));
        beacon.s8(offset + 2, Degrees(17 + 5 * warmth + battery));
        beacon.u16(offset + 3, Whole(sunlit ? 150 + 250 * sun : 180 + 10 * battery));
    }
    // X-, X+, Y-, Y+ panels: TRI volts and current, SPEC volts and current, temperature
    const int panels[] = {100, 109, 118, 127};
    for (int i = 0; i < 4; ++i) {
        const double light = std::max(0.0, sun * std::cos(phase * 6 + i * 1.4));
        beacon.u16(panels[i], Millis(light > 0 ? 4.6 + 0.4 * light : 0.1)).u16(panels[i] + 2, Whole(320 * light));
        beacon.u16(panels[i] + 4, Millis(light > 0 ? 4.5 + 0.3 * light : 0.1)).u16(panels[i] + 6, Whole(60 * light));
        beacon.s8(panels[i] + 8, Degrees(-15 + 45 * (sunlit ? light : 0) + 10 * warmth));
    }
    // Z- and Z+ panels: volts, current, temperature
    const int zPanels[] = {136, 141};
    for (int i = 0; i < 2; ++i) {
        const double light = std::max(0.0, sun * (i == 0 ? std::sin(phase * 9) : std::cos(phase * 9)));
        beacon.u16(zPanels[i], Millis(light > 0 ? 4.7 + 0.3 * light : 0.1)).u16(zPanels[i] + 2, Whole(280 * light));
        beacon.s8(zPanels[i] + 4, Degrees(-10 + 40 * light + 8 * warmth));
    }
    return beacon.build();
}

std::string TextBeacon(const std::string& text) {
    return BytesFromHex(SatelliteHeaderHex) + ">" + text;
}

std::string RxTime(int minute, int second) {
    const QDateTime at = ReceivedAt(minute, second).addMSecs((minute * 137) % 1000);
    return at.toString("yyyy-MM-dd HH:mm:ss.zzz").toStdString() + " UTC";
}

constexpr char kUsage[] = "usage: orca5_demo_capture FILE [COUNT]\n"
                          "Writes COUNT (300) made-up beacons a minute apart, and a text beacon every 30, to FILE.\n";

}  // namespace

int main(int argc, char** argv) {
    const std::string_view first = argc > 1 ? argv[1] : "";
    if (first == "-h" || first == "--help") return std::cout << kUsage, 0;
    int count = 300;
    if (argc > 2) {
        const std::string_view text = argv[2];
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
        if (error != std::errc() || end != text.data() + text.size() || count < 0) count = -1;
    }
    if (argc < 2 || argc > 3 || first.starts_with('-') || count < 0) return std::cerr << kUsage, 2;

    std::string capture;
    for (int minute = 0; minute < count; ++minute) {
        AppendRxTimeFrame(capture, RxTime(minute, 12));
        capture += KissDataFrame(Beacon(minute));
        if (minute % 30 == 0) {
            AppendRxTimeFrame(capture, RxTime(minute, 40));
            capture += KissDataFrame(TextBeacon("ORCA-5 de NOSAT: all systems nominal, orbit " + std::to_string(minute / 94)));
        }
    }
    std::ofstream file(argv[1], std::ios::binary);
    file.write(capture.data(), static_cast<std::streamsize>(capture.size()));
    if (!file.flush()) {
        std::cerr << argv[1] << " could not be written\n";
        return 1;
    }
    return 0;
}
