#include "programs/variants.h"

#include "programs/log_styles.h"

namespace {

using namespace chart_group;

constexpr ChartGroup kAllGroups[] = {
    kBatteryVolts,           kBatteryTemperatures, kBatteryCurrents,
    kMinusPanelVolts,        kMinusPanelCurrents,  kMinusPanelTemperatures,
    kPlusPanelVolts,         kPlusPanelCurrents,   kPlusPanelTemperatures,
};

// the earlier build knows the battery groups and the panels' temperatures
constexpr ChartGroup kEarlierGroups[] = {
    kBatteryVolts, kBatteryTemperatures, kBatteryCurrents, kMinusPanelTemperatures, kPlusPanelTemperatures,
};

}  // namespace

const BuildVariant kOrca5s{
    .programName = "orca5s",
    .versionNumber = "0.6",
    .buildDate = "06 Feb 2021",
    .scrollableSurface = true,
    .log = kOrca5sLog,
    .chartGroups = kAllGroups,
};

const BuildVariant kOrca5{
    .programName = "orca5",
    .versionNumber = "0.5",
    .buildDate = "05 Feb 2021",
    .scrollableSurface = false,
    .log = kOrca5Log,
    .chartGroups = kEarlierGroups,
};
