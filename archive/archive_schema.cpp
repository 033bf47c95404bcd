#include "archive/archive_schema.h"

#include "telemetry/channel_table.h"

#include <array>

namespace {

// Versions 1 to 4, as released.
constexpr std::array<std::string_view, kChannelCount> kFirstColumns = {
    "packet", "packet_total", "job_id", "status", "beacons_since_reset", "number_of_resets",
    "beacon_interval", "file_count", "cam_reset", "uhf_preset", "vhf_preset", "uhf_temperature",
    "vhf_temperature", "urbv", "urbi", "urbv_trans", "urbi_trans", "battery_1_volt",
    "battery_1_temp", "battery_1_curr", "battery_2_volt", "battery_2_temp", "battery_2_curr",
    "battery_3_volt", "battery_3_temp", "battery_3_curr", "x_minus_tri_volt", "x_minus_tri_curr",
    "x_minus_spec_volt", "x_minus_spec_curr", "x_minus_temperature", "x_plus_tri_volt",
    "x_plus_tri_curr", "x_plus_spec_volt", "x_plus_spec_curr", "x_plus_temperature",
    "y_minus_tri_volt", "y_minus_tri_curr", "y_minus_spec_volt", "y_minus_spec_curr",
    "y_minus_temperature", "y_plus_tri_volt", "y_plus_tri_curr", "y_plus_spec_volt",
    "y_plus_spec_curr", "y_plus_temperature", "z_minus_volt", "z_minus_curr",
    "z_minus_temperature", "z_plus_volt", "z_plus_curr", "z_plus_temperature"
};

}  // namespace

// every version so far names them alike
std::span<const std::string_view> ReleasedColumns(int) { return kFirstColumns; }

std::string_view ArchiveColumn(int channel) { return ReleasedColumns(kArchiveSchemaVersion)[static_cast<std::size_t>(channel)]; }

QString NewerVersionText(const QString& name, int version) {
    return QStringLiteral("%1 is an orca5 archive of version %2; this program knows versions up to %3")
        .arg(name).arg(version).arg(kArchiveSchemaVersion);
}
