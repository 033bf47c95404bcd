#include "ui/socket_look.h"

SocketStateLook LookOfSocketState(SocketState state) {
    constexpr std::uint32_t kGrey = 0xC0C0C0, kYellow = 0xFFFF00, kGreen = 0x00FF00, kRed = 0xFF0000;
    switch (state) {
    case SocketState::Closed: return {"Closed", kGrey};
    case SocketState::Open: return {"Open", kYellow};
    case SocketState::Listening: return {"Listening", kYellow};
    case SocketState::ConnectionPending: return {"Connection pending", kYellow};
    case SocketState::ResolvingHost: return {"Resolving host", kYellow};
    case SocketState::HostResolved: return {"Host resolved", kYellow};
    case SocketState::Connecting: return {"Connecting", kYellow};
    case SocketState::Connected: return {"Connected", kGreen};
    case SocketState::PeerClosing: return {"Peer is closing the connection", kYellow};
    case SocketState::Error: return {"Error", kRed};
    case SocketState::Waiting: return {"Waiting to reconnect", kYellow};
    }
    return {"", kGrey};
}
