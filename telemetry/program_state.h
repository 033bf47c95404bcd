#pragma once

#include "telemetry/packet_store.h"

#include <QSet>
#include <QString>

#include <string>

// The program-wide state: what every intake road fills and every view reads. One instance
// lives as long as the program. The intake and the decoder write the packets and the intake
// texts; the window writes what the user chose and what follows from it: currentFileName
// (an import or an export's default), importedFiles, chartChannel, imagePath from conf.ini,
// and the emptied store and reception time before each import.
struct ProgramState {
    PacketStore packetStore;
    int packetCount = 0;  // packets 1..packetCount are records 0..packetCount-1

    // Set by the intake before each frame it hands to the decoder.
    std::string rxTimeText;  // reception time text
    std::string frameHex;    // the frame as hexadecimal text

    QString currentFileName;  // path of the file last imported
    QSet<QString> importedFiles;  // canonical paths of every file imported in this run: no export writes over one
    QString imagePath;        // prefix of screenshot file names, normally a folder and "/"
    int chartChannel = 0;     // channel last chosen for the chart

    bool StoreIsFull() const { return packetCount >= kStoreCapacity; }

    // Packet n counted from 1, or null when n is not a stored packet.
    const TelemetryRecord* Packet(int n) const {
        return n >= 1 && n <= packetCount ? &packetStore[n - 1] : nullptr;
    }

    // Before an import: the old records stay, to be overwritten from index 0.
    void ResetStore() { packetCount = 0; }
};
