#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

// One two-line element set: the satellite's mean elements at an epoch, as the tracking networks
// publish them, in the units of the lines (degrees, revolutions a day).
struct ElementSet {
    int catalogNumber = 0;     // "A0001" in the Alpha-5 form is 100001
    double epochMs = 0;        // UTC, milliseconds since 1970, with its fraction
    double meanMotionDot = 0;  // half the first derivative of the mean motion, revolutions a day squared
    double bstar = 0;          // drag term, per Earth radius
    double inclinationDeg = 0;
    double ascendingNodeDeg = 0;
    double eccentricity = 0;
    double perigeeDeg = 0;  // argument of perigee
    double meanAnomalyDeg = 0;
    double revolutionsPerDay = 0;
    int line = 0;  // where its first line stands in its file

    double periodMinutes() const { return 1440.0 / revolutionsPerDay; }
};

// The element sets of a file, by epoch: the one for a time is the latest whose epoch is not
// after it, the earliest for a time before them all.
class ElementSets {
public:
    explicit ElementSets(std::vector<ElementSet> sets);
    const ElementSet& At(double timeMs) const;
    const std::vector<ElementSet>& sets() const { return sets_; }

private:
    std::vector<ElementSet> sets_;
};

// A period this long or longer is a deep-space orbit, which the near-Earth model does not hold.
inline constexpr double kDeepSpaceMinutes = 225.0;

// Reads a TLE file: pairs of lines "1 ..." and "2 ...", each of 69 characters, a name line before
// a pair or none, blank lines between them. The sets, or "FILE:LINE: what is wrong" with the first
// line that is wrong (its checksum, its length, a field that is no number, a line 2 of another
// satellite, a deep-space period), or why the file cannot be read.
std::variant<ElementSets, QString> ReadElementSets(const QString& path);

// The same of a file's text, named so in messages.
std::variant<ElementSets, QString> ParseElementSets(const QString& name, const QByteArray& text);
