// The command told of each transition: in order, one at a time, ended when it runs too long,
// and the ones past the limit of those waiting dropped and counted.
#include "limits/alarm_hook.h"

#include "support/files.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

LimitTransition RedLow(int n) {
    return {0, "2021-02-06 14:0" + std::to_string(n) + ":00.000 UTC", channel::Battery1Volt, "red_low", "green", 3.21, 3.3};
}

}  // namespace

TEST(AlarmHook, TellsEachTransitionInOrderAndEndsACommandThatRunsTooLong) {
    QTemporaryDir folder;
    const QString log = folder.filePath("told.log");
    {
        AlarmHook hook("printf '%s %s %s\\n' \"$ORCA5_TIME\" \"$ORCA5_STATE\" \"$ORCA5_STATION\" >> '" + log + "'", "N0CALL");
        for (int n = 1; n <= 3; ++n) hook.Tell(RedLow(n));
        const AlarmHook::Counts counts = hook.Finish();
        EXPECT_EQ(counts.ran, 3);
        EXPECT_EQ(counts.failed, 0);
    }
    EXPECT_EQ(Contents(log), "2021-02-06 14:01:00.000 UTC red_low N0CALL\n2021-02-06 14:02:00.000 UTC red_low N0CALL\n"
                             "2021-02-06 14:03:00.000 UTC red_low N0CALL\n");

    AlarmHook slow("sleep 5", "", 1, std::chrono::milliseconds(200));
    for (int n = 1; n <= 4; ++n) slow.Tell(RedLow(n));
    const AlarmHook::Counts counts = slow.Finish();
    EXPECT_GE(counts.dropped, 2) << "one runs, one waits: the others are dropped";
    EXPECT_EQ(counts.overran, counts.ran) << "each ended after the time allowed";
    EXPECT_EQ(counts.ran + counts.dropped, 4);
    EXPECT_TRUE(AlarmCountsText(counts).contains("ended after running too long"));
}
