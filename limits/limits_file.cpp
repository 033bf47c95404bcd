#include "limits/limits_file.h"

#include <QFile>
#include <QList>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <vector>

namespace {

// A line's words: a word in double quotes may hold spaces; "#" outside them ends the line.
// Nothing when a quote is not closed.
std::optional<std::vector<std::string>> Words(std::string_view line) {
    std::vector<std::string> words;
    for (std::size_t at = 0; at < line.size();) {
        const char c = line[at];
        if (c == '#') break;
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++at;
            continue;
        }
        if (c == '"') {
            const std::size_t end = line.find('"', at + 1);
            if (end == std::string_view::npos) return std::nullopt;
            words.emplace_back(line.substr(at + 1, end - at - 1));
            at = end + 1;
            continue;
        }
        std::size_t end = at;
        while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end])) && line[end] != '#') ++end;
        words.emplace_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

std::optional<double> Number(const std::string& word) {
    double value = 0;
    const char* end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::string Upper(std::string word) {
    for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return word;
}

std::size_t Distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) == std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// What is wrong with a LIMIT statement's words after its channel, or nothing.
QString ReadChannelLimits(const std::vector<std::string>& words, ChannelLimits& limits) {
    if (words.size() != 6 && words.size() != 8)
        return "LIMIT takes a channel, four numbers (red low, yellow low, yellow high, red high) and PERSIST n at the end";
    std::array<double, 4> numbers{};
    for (std::size_t k = 0; k < 4; ++k) {
        const std::optional<double> number = Number(words[2 + k]);
        if (!number) return QStringLiteral("\"%1\" is no number").arg(QString::fromStdString(words[2 + k]));
        numbers[k] = *number;
    }
    if (!std::is_sorted(numbers.begin(), numbers.end()))
        return "the limits are not in order: red low <= yellow low <= yellow high <= red high";
    limits = {numbers[0], numbers[1], numbers[2], numbers[3], 1};
    if (words.size() == 8) {
        const std::optional<double> persist = Number(words[7]);
        if (Upper(words[6]) != "PERSIST" || !persist || *persist < 1 || *persist != static_cast<int>(*persist))
            return "PERSIST takes a whole number of packets, 1 or more";
        limits.persist = static_cast<int>(*persist);
    }
    return {};
}

}  // namespace

std::optional<int> ChannelNamed(std::string_view name) {
    const auto found = std::find_if(kChannels.begin(), kChannels.end(), [&](const Channel& channel) { return channel.name == name; });
    if (found == kChannels.end()) return std::nullopt;
    return static_cast<int>(found - kChannels.begin());
}

std::string_view NearestChannelName(std::string_view name) {
    return std::min_element(kChannels.begin(), kChannels.end(), [&](const Channel& a, const Channel& b) {
               return Distance(name, a.name) < Distance(name, b.name);
           })->name;
}

std::variant<Limits, QString> ParseLimits(const QString& name, const QByteArray& text, const QString& set) {
    std::map<std::string, Limits> sets;
    std::optional<std::int64_t> staleMs;
    std::string current = kDefaultLimitSet;
    sets[current];
    int number = 0;
    for (const QByteArray& raw : text.split('\n')) {
        ++number;
        const QString where = QStringLiteral("%1:%2: ").arg(name).arg(number);
        const std::string_view line(raw.constData(), static_cast<std::size_t>(raw.size()));
        const std::optional<std::vector<std::string>> words = Words(line);
        if (!words) return where + "a quote is not closed";
        if (words->empty()) continue;
        const std::string statement = Upper((*words)[0]);
        if (statement == "SET") {
            if (words->size() != 2) return where + "SET takes one name";
            current = (*words)[1];
            sets[current];
        } else if (statement == "STALE") {
            const std::optional<double> minutes = words->size() == 2 ? Number((*words)[1]) : std::nullopt;
            if (!minutes || *minutes <= 0) return where + "STALE takes a number of minutes greater than 0";
            staleMs = static_cast<std::int64_t>(*minutes * 60000);
        } else if (statement == "LIMIT") {
            if (words->size() < 2) return where + "LIMIT takes a channel";
            const std::string& channelName = (*words)[1];
            const std::optional<int> channel = ChannelNamed(channelName);
            if (!channel)
                return where + QStringLiteral("no channel is named \"%1\" (did you mean \"%2\"?)")
                                   .arg(QString::fromStdString(channelName), QString::fromUtf8(NearestChannelName(channelName).data(),
                                                                                               static_cast<qsizetype>(NearestChannelName(channelName).size())));
            if (*channel == channel::JobId) return where + "JOB ID is text, not a number: it has no limits";
            auto& slot = sets[current].channels[static_cast<std::size_t>(*channel)];
            if (slot) return where + QStringLiteral("\"%1\" has limits in this set already").arg(QString::fromStdString(channelName));
            ChannelLimits limits;
            if (const QString problem = ReadChannelLimits(*words, limits); !problem.isEmpty()) return where + problem;
            slot = limits;
        } else {
            return where + QStringLiteral("\"%1\" is no statement: SET, LIMIT or STALE").arg(QString::fromStdString((*words)[0]));
        }
    }
    const std::string wanted = set.isEmpty() ? std::string(kDefaultLimitSet) : set.toStdString();
    const auto found = sets.find(wanted);
    if (found == sets.end()) {
        QStringList names;
        for (const auto& [setName, limits] : sets) names << QString::fromStdString(setName);
        return QStringLiteral("%1: no set is named \"%2\" (the file has %3)").arg(name, set, names.join(", "));
    }
    Limits limits = found->second;
    limits.staleMs = staleMs;
    limits.file = name;
    limits.set = QString::fromStdString(wanted);
    return limits;
}

std::variant<Limits, QString> ReadLimitsFile(const QString& path, const QString& set) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return path + ": " + file.errorString();
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) return path + ": " + file.errorString();
    return ParseLimits(path, text, set);
}
