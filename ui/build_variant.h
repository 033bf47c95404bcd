#pragma once

#include "telemetry/chart_groups.h"
#include "telemetry/log_style.h"

#include <span>
#include <string_view>

// What sets the two programs apart, as the window reads it. Each program describes itself
// once (programs/variants.cpp); shared code asks the variant, and nothing is copied.
struct BuildVariant {
    std::string_view programName;
    std::string_view versionNumber;
    std::string_view buildDate;
    bool scrollableSurface;  // a resizable window that scrolls its fixed-size surface; else a fixed window
    LogStyle log;
    std::span<const ChartGroup> chartGroups;
};
