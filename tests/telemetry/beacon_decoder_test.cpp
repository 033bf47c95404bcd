#include "intake/frame_recognition.h"
#include "support/beacon_builder.h"
#include "support/recording_view.h"
#include "telemetry/beacon_decoder.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const TelemetryRecord& DecodeOne(DecoderHarness& harness, const std::string& frame, const FrameFacts& facts = {}) {
    EXPECT_EQ(DecodeBeacon(harness.context, frame, facts), DecodeResult::Stored);
    return harness.state.packetStore[harness.state.packetCount - 1];
}

struct EncodingCase {
    const char* what;
    BeaconBuilder frame;
    int channel;
    double expected;
};

}  // namespace

TEST(BeaconDecoder, StoresEveryEncodingInEngineeringUnits) {
    const EncodingCase cases[] = {
        {"U32 status", BeaconBuilder().u32(47, 0xFFFFFFFF), 3, 4294967295.0},
        {"U32 beacons since reset", BeaconBuilder().u32(51, 123456789), 4, 123456789},
        {"U32 resets", BeaconBuilder().u32(55, 7), 5, 7},
        {"U32 interval", BeaconBuilder().u32(65, 60), 6, 60},
        {"U16 file count", BeaconBuilder().u16(70, 65535), 7, 65535},
        {"U8 cam reset", BeaconBuilder().u8(72, 255), 8, 255},
        {"U8 vhf preset", BeaconBuilder().u8(74, 3), 10, 3},
        {"S8 -10", BeaconBuilder().u8(75, 0xF6), 11, -10},
        {"S8 127", BeaconBuilder().u8(76, 0x7F), 12, 127},
        {"S8 -128", BeaconBuilder().u8(87, 0x80), 18, -128},
        {"S8 -1", BeaconBuilder().u8(145, 0xFF), 51, -1},
        {"U16 /1000 volts", BeaconBuilder().u16(77, 0x0FA0), 13, 4.0},
        {"U16 /1000 fraction", BeaconBuilder().u16(85, 4123), 17, 4.123},
        {"U16 /1000 top", BeaconBuilder().u16(141, 65535), 49, 65.535},
        {"U16 mA", BeaconBuilder().u16(79, 0x1068), 14, 4200},
        {"U16 X- SPEC Curr", BeaconBuilder().u16(106, 321), 29, 321},
        {"U16 Z+ Curr", BeaconBuilder().u16(143, 1), 50, 1},
        {"base-2 text 0101", BeaconBuilder().text(31, "0101"), 0, 5},
        {"base-2 text 1111", BeaconBuilder().text(31, "1111"), 0, 15},
        {"base-2 zero bytes", BeaconBuilder(), 0, 0},
        {"base-2 total 1000", BeaconBuilder().text(35, "1000"), 1, 8},
        {"base-2 ignores other characters", BeaconBuilder().text(35, "1a21"), 1, 9},
    };
    for (const EncodingCase& c : cases) {
        DecoderHarness harness;
        EXPECT_EQ(DecodeOne(harness, c.frame.build()).values[static_cast<std::size_t>(c.channel)], c.expected)
            << c.what;
    }
}

TEST(BeaconDecoder, EveryChannelFromAFrameWhoseFieldsAllDiffer) {
    // each field holds its own value, every temperature a negative byte: two fields that traded
    // places, or a signed byte read unsigned, show in the table below
    BeaconBuilder frame;
    frame.text(31, "0110").text(35, "1011").u32(47, 0x89ABCDEF).u32(51, 51001).u32(55, 55).u32(65, 65);
    frame.u16(70, 70).u8(72, 72).u8(73, 73).u8(74, 74).s8(75, -75).s8(76, -76);
    frame.u16(77, 7701).u16(79, 79).u16(81, 8101).u16(83, 83);
    frame.u16(85, 8501).s8(87, -87).u16(88, 88).u16(90, 9001).s8(92, -92).u16(93, 93);
    frame.u16(95, 9501).s8(97, -97).u16(98, 98);
    frame.u16(100, 10001).u16(102, 102).u16(104, 10401).u16(106, 106).s8(108, -108);
    frame.u16(109, 10901).u16(111, 111).u16(113, 11301).u16(115, 115).s8(117, -117);
    frame.u16(118, 11801).u16(120, 120).u16(122, 12201).u16(124, 124).s8(126, -126);
    frame.u16(127, 12701).u16(129, 129).u16(131, 13101).u16(133, 133).s8(135, -35);
    frame.u16(136, 13601).u16(138, 138).s8(140, -40).u16(141, 14101).u16(143, 143).s8(145, -45);
    const std::pair<std::string_view, double> expected[kChannelCount] = {
        {"Packet #", 6}, {"Packet Total", 11}, {"JOB ID", 0}, {"Status", 2309737967.0},
        {"Beacons since Reset", 51001}, {"Number of Resets", 55}, {"Beacon Interval", 65}, {"File Count", 70},
        {"CAM Reset", 72}, {"UHF Preset", 73}, {"VHF Preset", 74}, {"UHF Temperature", -75}, {"VHF Temperature", -76},
        {"Urbv", 7.701}, {"Urbi", 79}, {"Urbv trans", 8.101}, {"Urbi trans", 83},
        {"Battery 1 Volt", 8.501}, {"Battery 1 Temp", -87}, {"Battery 1 Curr", 88},
        {"Battery 2 Volt", 9.001}, {"Battery 2 Temp", -92}, {"Battery 2 Curr", 93},
        {"Battery 3 Volt", 9.501}, {"Battery 3 Temp", -97}, {"Battery 3 Curr", 98},
        {"X- TRI Volt", 10.001}, {"X- TRI Curr", 102}, {"X- SPEC Volt", 10.401}, {"X- SPEC Curr", 106}, {"X- Temperature", -108},
        {"X+ TRI Volt", 10.901}, {"X+ TRI Curr", 111}, {"X+ SPEC Volt", 11.301}, {"X+ SPEC Curr", 115}, {"X+ Temperature", -117},
        {"Y- TRI Volt", 11.801}, {"Y- TRI Curr", 120}, {"Y- SPEC Volt", 12.201}, {"Y- SPEC Curr", 124}, {"Y- Temperature", -126},
        {"Y+ TRI Volt", 12.701}, {"Y+ TRI Curr", 129}, {"Y+ SPEC Volt", 13.101}, {"Y+ SPEC Curr", 133}, {"Y+ Temperature", -35},
        {"Z- Volt", 13.601}, {"Z- Curr", 138}, {"Z- Temperature", -40}, {"Z+ Volt", 14.101}, {"Z+ Curr", 143}, {"Z+ Temperature", -45},
    };
    DecoderHarness harness;
    const TelemetryRecord& record = DecodeOne(harness, frame.build());
    for (std::size_t i = 0; i < kChannels.size(); ++i) {
        EXPECT_EQ(kChannels[i].name, expected[i].first);
        EXPECT_EQ(record.values[i], expected[i].second) << expected[i].first;
    }
}

TEST(BeaconDecoder, FormatsTheOnBoardTime) {
    struct {
        BeaconBuilder frame;
        const char* expected;
    } const cases[] = {
        {BeaconBuilder().obcTime(21, 2, 6, 9, 5, 0), "2021/02/06 09:05:00"},
        {BeaconBuilder().obcTime(21, 12, 31, 23, 59, 59), "2021/12/31 23:59:59"},
        {BeaconBuilder().obcTime(5, 1, 1, 0, 0, 0), "2005/01/01 00:00:00"},
        {BeaconBuilder().obcTime(120, 255, 100, 7, 0, 9), "20120/255/100 07:00:09"},
    };
    for (const auto& c : cases) {
        DecoderHarness harness;
        EXPECT_EQ(DecodeOne(harness, c.frame.build()).obcTime, c.expected);
    }
}

TEST(BeaconDecoder, BytesOutsideTheFieldsChangeNothing) {
    const BeaconBuilder base = BeaconBuilder().u32(47, 0x1A2B).u16(77, 4000).u8(145, 0x80);
    BeaconBuilder noisy = base;
    std::mt19937 random(7);
    for (int offset = 39; offset <= 46; ++offset) noisy.u8(offset, static_cast<std::uint8_t>(random()));
    noisy.u8(69, 0xAA);
    for (int offset = 146; offset < 216; ++offset) noisy.u8(offset, static_cast<std::uint8_t>(random()));
    for (int offset = 0; offset < 31; ++offset) noisy.u8(offset, static_cast<std::uint8_t>(random()));

    DecoderHarness harness;
    const auto expected = DecodeOne(harness, base.build()).values;
    EXPECT_EQ(DecodeOne(harness, noisy.build()).values, expected);
}

TEST(BeaconDecoder, FillsTheNextRecordAndShowsTheFrame) {
    DecoderHarness harness;
    const std::string first = BeaconBuilder().text(17, "ORCA5 payload text, 30 chars!!").u16(79, 100).build();
    const std::string second = BeaconBuilder().u16(79, 200).build();

    DecodeOne(harness, first, {"2021-02-06 14:00:00.123 UTC", "C0FFEE"});
    EXPECT_EQ(harness.view.payloadText, "ORCA5 payload text, 30 chars!!");
    EXPECT_EQ(harness.view.frameLog, std::vector<std::string>{"2021-02-06 14:00:00.123 UTC | C0FFEE"});
    DecodeOne(harness, second, {"later", ""});

    EXPECT_EQ(harness.state.packetCount, 2);
    EXPECT_EQ(harness.view.packetMaximum, 2);
    const TelemetryRecord& one = harness.state.packetStore[0];
    const TelemetryRecord& two = harness.state.packetStore[1];
    EXPECT_EQ(one.values[14], 100);
    EXPECT_EQ(two.values[14], 200);
    EXPECT_EQ(one.rxTime, "2021-02-06 14:00:00.123 UTC");
    EXPECT_EQ(two.rxTime, "later");
    EXPECT_EQ(two.values[kJobIdChannel], 0);
    EXPECT_EQ(two.jobIdText, "");
    EXPECT_EQ(harness.view.payloadText, std::string(30, '\0'));
}

TEST(BeaconDecoder, TheEarlierProgramLogsNoFrameFromTheDecoder) {
    DecoderHarness harness(kOrca5Log);
    DecodeOne(harness, BeaconBuilder().build());
    EXPECT_TRUE(harness.view.frameLog.empty());
}

TEST(BeaconDecoder, AFullStoreRefusesWithoutTouchingAnything) {
    DecoderHarness harness;
    const std::string frame = BeaconBuilder().u16(79, 1).build();
    for (int i = 0; i < kStoreCapacity; ++i) ASSERT_EQ(DecodeBeacon(harness.context, frame, {}), DecodeResult::Stored);
    EXPECT_EQ(harness.state.packetCount, 10000);
    EXPECT_EQ(harness.view.packetMaximum, 10000);

    EXPECT_EQ(DecodeBeacon(harness.context, BeaconBuilder().u16(79, 2).build(), {"one too many", ""}), DecodeResult::StoreFull);
    EXPECT_EQ(harness.state.packetCount, 10000);
    EXPECT_EQ(harness.view.packetMaximum, 10000);
    EXPECT_EQ(harness.state.packetStore[9999].values[14], 1);
    EXPECT_NE(harness.state.packetStore[9999].rxTime, "one too many");
    EXPECT_EQ(harness.view.frameLog.size(), 10000u) << "the frame log lists what the store holds";

    harness.state.ResetStore();
    EXPECT_EQ(DecodeBeacon(harness.context, BeaconBuilder().u16(79, 3).build(), {}), DecodeResult::Stored);
    EXPECT_EQ(harness.state.packetStore[0].values[14], 3) << "an import starts again at packet 1";
}

TEST(BeaconDecoder, RefusesFramesThatDoNotHoldTheLayout) {
    DecoderHarness harness;
    EXPECT_EQ(DecodeBeacon(harness.context, std::string(256, '\0'), {}), DecodeResult::FrameTooLong);
    EXPECT_EQ(DecodeBeacon(harness.context, std::string(145, '\0'), {}), DecodeResult::FrameTooShort);
    EXPECT_EQ(harness.state.packetCount, 0);
    EXPECT_EQ(harness.view.packetMaximum, -1);
    EXPECT_EQ(DecodeBeacon(harness.context, std::string(255, '\0'), {}), DecodeResult::Stored);
    EXPECT_EQ(DecodeBeacon(harness.context, std::string(146, '\0'), {}), DecodeResult::Stored);
}

TEST(FrameRecognition, PadsA200BytePayloadAndIgnoresOtherLengths) {
    const BeaconBuilder beacon = BeaconBuilder().text(0, "HEADER-BYTES-16!").u16(77, 3300).u8(75, 0xF6);
    DecoderHarness harness;
    ASSERT_EQ(DecodeTelemetryFrame(harness.context, beacon.payload(), {}), DecodeResult::Stored);
    const TelemetryRecord& padded = harness.state.packetStore[0];
    EXPECT_EQ(padded.values[13], 3.3);
    EXPECT_EQ(padded.values[11], -10);

    ASSERT_EQ(DecodeTelemetryFrame(harness.context, beacon.build(), {}), DecodeResult::Stored);
    EXPECT_EQ(harness.state.packetStore[1].values, padded.values);

    for (const std::size_t length : {0u, 199u, 201u, 215u, 217u}) {
        EXPECT_EQ(DecodeTelemetryFrame(harness.context, std::string(length, '\0'), {}), std::nullopt) << length;
    }
    EXPECT_EQ(harness.state.packetCount, 2);
}
