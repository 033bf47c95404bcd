#include "telemetry/beacon_layout.h"
#include "telemetry/channel_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(ChannelTable, NamesAndUnitsOfTheBeacon) {
    EXPECT_EQ(kChannels[0].name, "Packet #");
    EXPECT_EQ(kChannels[2].name, "JOB ID");
    EXPECT_EQ(kChannels[28].name, "X- SPEC Volt");
    EXPECT_EQ(kChannels[29].name, "X- SPEC Curr");
    EXPECT_EQ(kChannels[43].unit, "V");  // Y+ SPEC Volt, like every other voltage
    EXPECT_EQ(kChannels[51].name, "Z+ Temperature");

    std::set<std::string_view> names;
    for (const Channel& channel : kChannels) {
        names.insert(channel.name);
        EXPECT_TRUE(channel.unit == "" || channel.unit == "V" || channel.unit == "mA" || channel.unit == "C" ||
                    channel.unit == "s")
            << channel.name;
    }
    EXPECT_EQ(names.size(), kChannels.size()) << "every channel has a name of its own";
}

TEST(BeaconLayout, ReadsEveryChannelButJobIdOnceInChannelOrder) {
    std::set<int> seen;
    int previous = -1;
    for (const Field& field : kBeaconLayout) {
        EXPECT_GT(field.channel, previous);
        previous = field.channel;
        seen.insert(field.channel);
    }
    EXPECT_EQ(seen.size(), 51u);
    EXPECT_FALSE(seen.count(kJobIdChannel));
}

TEST(BeaconLayout, VoltsAreMillivoltsOnBoardAndNothingElseIsScaled) {
    for (const Field& field : kBeaconLayout) {
        const bool volts = kChannels[static_cast<std::size_t>(field.channel)].unit == "V";
        EXPECT_EQ(field.divisor, volts ? 1000 : 1) << kChannels[static_cast<std::size_t>(field.channel)].name;
    }
}

TEST(BeaconLayout, FieldsNeitherOverlapNorTouchTheUnreadBytes) {
    std::set<int> used;
    for (int offset = 39; offset <= 46; ++offset) used.insert(offset);  // JOB ID
    for (int offset = kObcTimeOffset; offset < kObcTimeOffset + kObcTimeLength; ++offset) used.insert(offset);
    used.insert(69);
    for (const Field& field : kBeaconLayout) {
        for (int offset = field.offset; offset < field.offset + FieldSize(field.encoding); ++offset) {
            EXPECT_TRUE(used.insert(offset).second) << "channel " << field.channel << " offset " << offset;
            EXPECT_LT(offset, kLayoutEnd);
        }
    }
    // every byte from the first field to the last is accounted for
    EXPECT_EQ(used.size(), static_cast<std::size_t>(kLayoutEnd - 31));
}
