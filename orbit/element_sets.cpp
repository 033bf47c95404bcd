#include "orbit/element_sets.h"

#include <QFile>
#include <QList>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kLineLength = 69;

// The last column of each line: the sum of its digits, a minus counting 1, modulo 10.
bool ChecksumHolds(std::string_view line) {
    int sum = 0;
    for (const char c : line.substr(0, kLineLength - 1)) sum += std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : c == '-';
    return line[kLineLength - 1] - '0' == sum % 10;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

std::optional<double> Decimal(std::string_view field) {
    field = Trimmed(field);
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    double value = 0;
    const auto [stop, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || stop != field.data() + field.size()) return std::nullopt;
    return value;
}

// " 12345-3" is 0.12345e-3: a sign, the digits after an assumed point, an exponent of one
// digit or none.
std::optional<double> AssumedPoint(std::string_view field) {
    field = Trimmed(field);
    const bool negative = field.starts_with('-');
    if (field.starts_with('-') || field.starts_with('+')) field.remove_prefix(1);
    int exponent = 0;
    if (field.size() >= 2 && (field[field.size() - 2] == '-' || field[field.size() - 2] == '+')) {
        if (!std::isdigit(static_cast<unsigned char>(field.back()))) return std::nullopt;
        exponent = (field[field.size() - 2] == '-' ? -1 : 1) * (field.back() - '0');
        field.remove_suffix(2);
    }
    if (field.empty() || field.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    const double value = *Decimal(std::string(1, '.').append(field)) * std::pow(10.0, exponent);
    return negative ? -value : value;
}

// Five digits, or the Alpha-5 form: a letter (I and O left out, so A is 10 and Z 33) and four digits.
std::optional<int> CatalogNumber(std::string_view field) {
    static constexpr std::string_view kLetters = "ABCDEFGHJKLMNPQRSTUVWXYZ";
    const auto digits = [](std::string_view text) -> std::optional<int> {
        int value = 0;
        const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || stop != text.data() + text.size()) return std::nullopt;
        return value;
    };
    const std::size_t letter = kLetters.find(field[0]);
    if (letter == std::string_view::npos) return digits(Trimmed(field));
    const std::optional<int> rest = digits(field.substr(1));
    if (!rest) return std::nullopt;
    return static_cast<int>(letter + 10) * 10000 + *rest;
}

// A two-digit year and a day of the year with its fraction, as milliseconds since 1970.
std::optional<double> EpochMs(std::string_view yearField, std::string_view dayField) {
    const std::optional<double> year = Decimal(yearField), day = Decimal(dayField);
    if (!year || !day || *year != std::floor(*year) || *day < 1 || *day >= 367) return std::nullopt;
    const int fullYear = static_cast<int>(*year) + (*year < 57 ? 2000 : 1900);
    const std::chrono::sys_days newYear{std::chrono::year{fullYear} / std::chrono::January / 1};
    return static_cast<double>(newYear.time_since_epoch().count()) * 86400000.0 + (*day - 1) * 86400000.0;
}

struct Field {
    const char* name;
    std::size_t from, length;  // columns, from 0
    double ElementSet::*into;
    bool assumedPoint;
};

// The fields of each line, as the columns of the format place them.
constexpr Field kFirstLine[] = {
    {"mean motion derivative", 33, 10, &ElementSet::meanMotionDot, false},
    {"drag term", 53, 8, &ElementSet::bstar, true},
};
constexpr Field kSecondLine[] = {
    {"inclination", 8, 8, &ElementSet::inclinationDeg, false},
    {"right ascension of the ascending node", 17, 8, &ElementSet::ascendingNodeDeg, false},
    {"eccentricity", 26, 7, &ElementSet::eccentricity, true},
    {"argument of perigee", 34, 8, &ElementSet::perigeeDeg, false},
    {"mean anomaly", 43, 8, &ElementSet::meanAnomalyDeg, false},
    {"mean motion", 52, 11, &ElementSet::revolutionsPerDay, false},
};

class Reader {
public:
    explicit Reader(QString name) : name_(std::move(name)) {}

    // The set of a pair of lines; what is wrong with them in `error`.
    std::optional<ElementSet> Pair(std::string_view first, int firstNumber, std::string_view second, int secondNumber) {
        if (!LineHolds(first, '1', firstNumber) || !LineHolds(second, '2', secondNumber)) return std::nullopt;
        ElementSet set;
        set.line = firstNumber;
        const std::optional<int> number = CatalogNumber(first.substr(2, 5)), again = CatalogNumber(second.substr(2, 5));
        if (!number || !again) return Wrong(number ? secondNumber : firstNumber, "the catalog number is no number");
        if (*again != *number) return Wrong(secondNumber, "line 2 is of another satellite than its line 1");
        set.catalogNumber = *number;
        const std::optional<double> epoch = EpochMs(first.substr(18, 2), first.substr(20, 12));
        if (!epoch) return Wrong(firstNumber, "the epoch is no year and day");
        set.epochMs = *epoch;
        if (!Fields(first, kFirstLine, firstNumber, set) || !Fields(second, kSecondLine, secondNumber, set)) return std::nullopt;
        if (set.revolutionsPerDay <= 0) return Wrong(secondNumber, "the mean motion is not above 0");
        if (set.periodMinutes() >= kDeepSpaceMinutes)
            return Wrong(secondNumber, QStringLiteral("a period of %1 minutes is a deep-space orbit, which is not computed here (under %2)")
                                           .arg(set.periodMinutes(), 0, 'f', 1).arg(kDeepSpaceMinutes));
        return set;
    }

    std::nullopt_t Wrong(int line, const QString& what) {
        if (error.isEmpty()) error = QStringLiteral("%1:%2: %3").arg(name_).arg(line).arg(what);
        return std::nullopt;
    }

    QString error;

private:
    bool LineHolds(std::string_view line, char number, int lineNumber) {
        if (line.size() != kLineLength)
            return Wrong(lineNumber, QStringLiteral("a line of %1 characters, not %2").arg(line.size()).arg(kLineLength)), false;
        if (line[0] != number || line[1] != ' ') return Wrong(lineNumber, QStringLiteral("line %1 of a set expected").arg(number)), false;
        if (!std::isdigit(static_cast<unsigned char>(line.back())) || !ChecksumHolds(line))
            return Wrong(lineNumber, "its checksum does not hold"), false;
        return true;
    }

    template <std::size_t N>
    bool Fields(std::string_view line, const Field (&fields)[N], int lineNumber, ElementSet& set) {
        for (const Field& field : fields) {
            const std::string_view text = line.substr(field.from, field.length);
            const std::optional<double> value = field.assumedPoint ? AssumedPoint(text) : Decimal(text);
            if (!value) return Wrong(lineNumber, QStringLiteral("the %1 \"%2\" is no number").arg(field.name, QString::fromLatin1(text))), false;
            set.*field.into = *value;
        }
        return true;
    }

    QString name_;
};

}  // namespace

ElementSets::ElementSets(std::vector<ElementSet> sets) : sets_(std::move(sets)) {
    std::stable_sort(sets_.begin(), sets_.end(), [](const ElementSet& a, const ElementSet& b) { return a.epochMs < b.epochMs; });
}

const ElementSet& ElementSets::At(double timeMs) const {
    const auto after = std::upper_bound(sets_.begin(), sets_.end(), timeMs, [](double t, const ElementSet& set) { return t < set.epochMs; });
    return after == sets_.begin() ? sets_.front() : *(after - 1);
}

std::variant<ElementSets, QString> ParseElementSets(const QString& name, const QByteArray& text) {
    Reader reader(name);
    std::vector<ElementSet> sets;
    const QList<QByteArray> lines = text.split('\n');
    std::optional<std::pair<std::string, int>> first;  // a line 1 waiting for its line 2
    for (int i = 0; i < lines.size(); ++i) {
        std::string line = lines[i].toStdString();
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
        const bool one = line.starts_with("1 "), two = line.starts_with("2 ");
        if (line.empty()) continue;
        if (first) {
            if (!two) return reader.Wrong(i + 1, "line 2 of the set begun on line " + QString::number(first->second) + " expected"), reader.error;
            const std::optional<ElementSet> set = reader.Pair(first->first, first->second, line, i + 1);
            if (!set) return reader.error;
            sets.push_back(*set);
            first.reset();
        } else if (one) {
            first.emplace(line, i + 1);
        } else if (two) {
            return reader.Wrong(i + 1, "a line 2 without its line 1"), reader.error;
        }  // else a name line, or a blank one
    }
    if (first) return reader.Wrong(first->second, "line 2 of this set is missing"), reader.error;
    if (sets.empty()) return name + ": no element set in it";
    return ElementSets(std::move(sets));
}

std::variant<ElementSets, QString> ReadElementSets(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return path + ": " + file.errorString();
    return ParseElementSets(path, file.readAll());
}
