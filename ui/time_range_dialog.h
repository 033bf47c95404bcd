#pragma once

#include "archive/archive_reader.h"

#include <QDialog>

class QLabel;
class QLineEdit;

// "Load Time Range": the two UTC times of the archived packets to load, "yyyy-MM-dd HH:mm:ss".
// OK with a time that is no time names its field and keeps the dialog open.
class TimeRangeDialog : public QDialog {
    Q_OBJECT

public:
    TimeRangeDialog(std::int64_t fromMs, std::int64_t toMs, QWidget* parent = nullptr);

    // The range of the fields, once accepted.
    TimeRange range() const { return range_; }

    void accept() override;

    QLineEdit* From;
    QLineEdit* To;
    QLabel* Problem;

private:
    TimeRange range_;
};

// "2021-02-06 14:00:00" of UTC milliseconds.
QString FieldTime(std::int64_t milliseconds);
