#include "exports/alarm_rows.h"

#include "exports/json_lines.h"
#include "telemetry/time_stamps.h"
#include "telemetry/value_text.h"

const std::string& AlarmCsvHeading() {
    static const std::string heading = "time;channel;state;previous;value;limit\r\n";
    return heading;
}

std::string_view TransitionChannelName(const LimitTransition& transition) {
    return transition.channel == kSatellite ? std::string_view("*") : kChannels[static_cast<std::size_t>(transition.channel)].name;
}

void AppendAlarmCsvRow(std::string& out, const LimitTransition& transition, char decimalSeparator) {
    out.append(transition.rxTime).append(";").append(TransitionChannelName(transition)).append(";");
    out.append(transition.state).append(";").append(transition.previous).append(";");
    if (transition.value) AppendValueText(out, *transition.value, decimalSeparator);
    out += ';';
    if (transition.threshold) AppendValueText(out, *transition.threshold, decimalSeparator);
    out += "\r\n";
}

void AppendAlarmJsonLine(std::string& out, const LimitTransition& transition) {
    const auto number = [&](const std::optional<double>& value) {
        if (value)
            AppendValueText(out, *value, '.');
        else
            out += "null";
    };
    const std::string time = IsoRxTime(transition.rxTime);
    out += "{\"time\":";
    if (time.empty())
        out += "null";
    else
        AppendJsonString(out, time);
    out += ",\"channel\":";
    AppendJsonString(out, TransitionChannelName(transition));
    out += ",\"state\":";
    AppendJsonString(out, transition.state);
    out += ",\"previous\":";
    AppendJsonString(out, transition.previous);
    out += ",\"value\":";
    number(transition.value);
    out += ",\"limit\":";
    number(transition.threshold);
    out += "}\n";
}
