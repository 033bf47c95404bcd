#pragma once

#include "telemetry/log_style.h"
#include "ui/chart_group.h"

#include <span>
#include <string_view>

// What sets the two programs apart. Shared code asks the variant; nothing is copied.
struct BuildVariant {
    std::string_view programName;
    std::string_view versionNumber;
    std::string_view buildDate;
    bool scrollableSurface;  // a resizable window that scrolls its fixed-size surface; else a fixed window
    LogStyle log;
    std::span<const ChartGroup> chartGroups;
};

// The fuller build.
extern const BuildVariant kOrca5s;
// The earlier build: fixed window, its own log lines.
extern const BuildVariant kOrca5;
