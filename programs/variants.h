#pragma once

#include "ui/build_variant.h"

// The fuller build.
extern const BuildVariant kOrca5s;
// The earlier build: fixed window, its own log lines.
extern const BuildVariant kOrca5;
