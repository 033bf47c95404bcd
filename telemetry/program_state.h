#pragma once

#include "telemetry/decode_view.h"
#include "telemetry/packet_store.h"

#include <QSet>
#include <QString>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The program-wide state: what every intake road fills and every view reads. One instance
// lives as long as the program. The intake and the decoder write the packets and the intake
// texts; the window writes what the user chose and what follows from it: currentFileName
// (an import or an export's default), importedFiles, chartChannel, imagePath from conf.ini,
// and the emptied store and reception time before each import.
struct ProgramState {
    PacketStore packetStore;
    int packetCount = 0;  // packets 1..packetCount are records 0..packetCount-1

    // Of the last packet stored.
    std::string rxTimeText;  // reception time text
    std::string frameHex;    // the frame as hexadecimal text, where the road keeps it

    // Who heard each stored packet, where its road knows: the archive's stations ("N0AAA (first),
    // N0BBB"), or for a live packet the station itself until the archive has it. By packet index.
    struct Heard {
        std::string stations;
        bool live = false;
        std::int64_t archiveTook = 0;  // a live one's: the archive's count of what it took, when stored
    };
    std::vector<Heard> heardBy;

    QString currentFileName;  // path of the file last imported
    QSet<QString> importedFiles;  // canonical paths of every file imported in this run: no export writes over one
    QString imagePath;        // prefix of screenshot file names, normally a folder and "/"
    int chartChannel = 0;     // channel last chosen for the chart

    bool StoreIsFull() const { return packetCount >= kStoreCapacity; }

    // Packet n counted from 1, or null when n is not a stored packet.
    const TelemetryRecord* Packet(int n) const {
        return n >= 1 && n <= packetCount ? &packetStore[n - 1] : nullptr;
    }

    // Keeps a decoded packet as the last of the store. Its texts trade places with the old
    // ones there, which the next packet overwrites, so no text is copied. False when the
    // store is full.
    bool StorePacket(const DecodedPacket& packet) {
        if (StoreIsFull()) return false;
        TelemetryRecord& slot = packetStore[packetCount];
        slot.values = packet.record.values;
        slot.rxTime.swap(packet.record.rxTime);
        slot.obcTime.swap(packet.record.obcTime);
        slot.jobIdText.swap(packet.record.jobIdText);
        ++packetCount;  // the record is whole before it is counted: a view refreshed by the count reads it
        rxTimeText = packetStore[packetCount - 1].rxTime;
        if (!packet.facts.frameHex.empty()) frameHex = packet.facts.frameHex;
        return true;
    }

    // Before an import: the old records stay, to be overwritten from index 0.
    void ResetStore() {
        packetCount = 0;
        heardBy.clear();
    }

    // Who heard the last packet stored.
    void SetHeardBy(Heard heard) {
        heardBy.resize(static_cast<std::size_t>(packetCount));
        if (packetCount > 0) heardBy.back() = std::move(heard);
    }
};
