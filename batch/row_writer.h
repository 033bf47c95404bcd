#pragma once

#include "orbit/orbit.h"
#include "telemetry/packet_store.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// Rows made on a thread of their own while the packets after them are decoded, so that a
// machine's second core writes the numbers out as the first reads frames. Packets go in a batch
// at a time, a few batches at most in hand; rows come out in the order their packets went in.
class RowWriter {
public:
    // What a row is made from, copied out of the decoder's reused buffers.
    struct Packet {
        TelemetryRecord record;
        std::string source, frameHex, station;
        std::int64_t place = 0, nanoseconds = 0;  // a line's, of the line protocol
        std::optional<OrbitPlace> orbit;           // where the satellite was, with element sets
    };
    using Format = std::function<void(std::string& rows, const Packet& packet)>;
    using Sink = std::function<void(std::string_view rows)>;

    // The sink is called on the writer's thread, and never twice at once.
    RowWriter(std::string heading, Format format, Sink sink);
    ~RowWriter();
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    // The place of the next packet, to be filled before the next call.
    Packet& Add();
    // Returns when every packet added is in the sink.
    void Flush();

private:
    struct Batch {
        std::vector<Packet> packets;
        std::size_t used = 0;
    };
    void Send();
    void Run();

    Format format_;
    Sink sink_;
    std::string rows_;  // the writer thread's
    Batch filling_;     // the decoder's

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Batch> queue_;
    std::vector<std::vector<Packet>> spare_;
    bool flushWanted_ = false;
    bool stop_ = false;
    std::thread thread_;
};
