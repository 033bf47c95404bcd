#pragma once

#include "archive/activity_watch.h"

#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QTabWidget;
class QTableWidget;

// "Passes": the archive's passes, newest first, with their station, span, duration and
// packets, and on a second tab its stations; each table sorts by any column. A double click
// or Enter on a pass loads its span into the main window. Read on a thread of its own when
// opened and whenever the archive has more, so that it follows new passes live.
class Passes : public QWidget {
    Q_OBJECT

public:
    Passes(ActivityWatch::Opener open, std::int64_t gapMs, QWidget* parent = nullptr);
    ~Passes() override;

    // The archive has more: read anew.
    void ArchiveChanged();
    // What the tables show, the chosen pass and the sorting kept.
    void Show(const StationActivity& activity, const QString& error);

    std::function<void(const TimeRange&)> loadRange;

    QTabWidget* Tabs;
    QTableWidget* PassTable;
    QTableWidget* StationTable;
    QLabel* Status;

signals:
    void shown();  // each read, once its rows are in the tables

private:
    void LoadPass(int row);

    std::unique_ptr<ActivityWatch> watch_;
};
