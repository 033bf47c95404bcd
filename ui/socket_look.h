#pragma once

#include "intake/kiss_client.h"

#include <cstdint>
#include <string_view>

// How the status row shows a socket state: its text, and the lamp's colour.
struct SocketStateLook {
    std::string_view text;
    std::uint32_t lampRgb;
};

SocketStateLook LookOfSocketState(SocketState state);
