#include "ui/passes_window.h"

#include "telemetry/time_stamps.h"

#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// A cell shown as text and sorted by a number: times by their milliseconds, a duration by its
// length. Plain numbers sort as numbers by themselves.
class KeyedItem : public QTableWidgetItem {
public:
    KeyedItem(const QString& text, std::int64_t key) : QTableWidgetItem(text) { setData(Qt::UserRole, QVariant::fromValue<qlonglong>(key)); }
    bool operator<(const QTableWidgetItem& other) const override { return data(Qt::UserRole).toLongLong() < other.data(Qt::UserRole).toLongLong(); }
};

QTableWidgetItem* TimeItem(std::int64_t timeMs) { return new KeyedItem(QString::fromStdString(RxTimeTextOf(timeMs)), timeMs); }

QTableWidgetItem* NumberItem(std::int64_t number) {
    auto* item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, QVariant::fromValue<qlonglong>(number));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QTableWidgetItem* TextItem(const std::string& text) { return new QTableWidgetItem(QString::fromStdString(text)); }

// "1:05:09" of a pass's length: hours, minutes, seconds.
QString DurationText(std::int64_t milliseconds) {
    const std::int64_t seconds = milliseconds / 1000;
    return QStringLiteral("%1:%2:%3").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, QChar('0')).arg(seconds % 60, 2, 10, QChar('0'));
}

QTableWidget* MakeTable(QWidget* parent, const QString& name, const QStringList& headings) {
    auto* table = new QTableWidget(0, static_cast<int>(headings.size()), parent);
    table->setAccessibleName(name);
    table->setHorizontalHeaderLabels(headings);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setSortingEnabled(true);
    return table;
}

// Fills a table anew, a row an item, keeping its sorting and the row chosen (known by its
// first two cells' texts).
template <typename Item>
void Fill(QTableWidget* table, const std::vector<Item>& items, const std::function<std::vector<QTableWidgetItem*>(const Item&)>& cells) {
    const int current = table->currentRow();
    const QStringList chosen = current < 0 ? QStringList()
                                           : QStringList{table->item(current, 0)->text(), table->item(current, 1)->text()};
    table->setSortingEnabled(false);
    table->setRowCount(static_cast<int>(items.size()));
    for (int row = 0; row < static_cast<int>(items.size()); ++row) {
        const std::vector<QTableWidgetItem*> rowCells = cells(items[static_cast<std::size_t>(row)]);
        for (int column = 0; column < static_cast<int>(rowCells.size()); ++column) table->setItem(row, column, rowCells[static_cast<std::size_t>(column)]);
    }
    table->setSortingEnabled(true);
    for (int row = 0; !chosen.isEmpty() && row < table->rowCount(); ++row)
        if (table->item(row, 0)->text() == chosen[0] && table->item(row, 1)->text() == chosen[1]) table->selectRow(row);
}

}  // namespace

Passes::Passes(ActivityWatch::Opener open, std::int64_t gapMs, QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Passes");
    resize(900, 480);
    Tabs = new QTabWidget(this);
    Tabs->setAccessibleName("Passes and stations");
    PassTable = MakeTable(Tabs, "Passes table", {"Station", "Start", "End", "Duration", "Packets", "First heard", "Only here"});
    PassTable->setAccessibleDescription("Newest first; Enter or a double click loads the pass into the main window");
    PassTable->sortItems(1, Qt::DescendingOrder);
    StationTable = MakeTable(Tabs, "Stations table", {"Station", "Passes", "Packets", "First heard", "Only here", "First", "Last"});
    StationTable->sortItems(0, Qt::AscendingOrder);
    Tabs->addTab(PassTable, "&Passes");
    Tabs->addTab(StationTable, "&Stations");
    Status = new QLabel("Reading the archive…", this);
    Status->setAccessibleDescription("What the tables were read from");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Tabs, 1);
    layout->addWidget(Status);
    // Enter, and a double click (a click where the style activates with one)
    connect(PassTable, &QTableWidget::cellActivated, this, [this](int row, int) { LoadPass(row); });

    // each read comes back to this window's thread, unless the window has gone
    QPointer<Passes> self(this);
    watch_ = std::make_unique<ActivityWatch>(std::move(open), gapMs, [self](StationActivity activity, const QString& error) {
        QMetaObject::invokeMethod(self, [self, activity = std::move(activity), error] {
            if (self) self->Show(activity, error);
        }, Qt::QueuedConnection);
    });
    watch_->Ask();
}

Passes::~Passes() = default;

void Passes::ArchiveChanged() { watch_->Ask(); }

void Passes::Show(const StationActivity& activity, const QString& error) {
    Fill<Pass>(PassTable, activity.passes, [](const Pass& pass) {
        return std::vector<QTableWidgetItem*>{TextItem(pass.station), TimeItem(pass.startMs), TimeItem(pass.endMs),
                                              new KeyedItem(DurationText(pass.endMs - pass.startMs), pass.endMs - pass.startMs),
                                              NumberItem(pass.packets), NumberItem(pass.firstHeard), NumberItem(pass.onlyHere)};
    });
    Fill<StationRecord>(StationTable, activity.stations, [](const StationRecord& station) {
        return std::vector<QTableWidgetItem*>{TextItem(station.station), NumberItem(station.passes), NumberItem(station.packets),
                                              NumberItem(station.firstHeard), NumberItem(station.onlyHere), TimeItem(station.firstMs),
                                              TimeItem(station.lastMs)};
    });
    for (QTableWidget* table : {PassTable, StationTable}) table->resizeColumnsToContents();
    const auto count = [](std::size_t n, const char* one, const char* many) { return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? one : many); };
    Status->setText(error.isEmpty() ? count(activity.passes.size(), "pass", "passes") + " of " + count(activity.stations.size(), "station", "stations")
                                    : "The archive could not be read: " + error);
    emit shown();
}

void Passes::LoadPass(int row) {
    const QTableWidgetItem* start = PassTable->item(row, 1);
    const QTableWidgetItem* end = PassTable->item(row, 2);
    if (!start || !end || !loadRange) return;
    // its last reception included
    loadRange({start->data(Qt::UserRole).toLongLong(), end->data(Qt::UserRole).toLongLong() + 1});
}
