#include "ui/time_range_dialog.h"

#include "telemetry/time_stamps.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

QString FieldTime(std::int64_t milliseconds) { return QString::fromStdString(RxTimeTextOf(milliseconds)).left(19); }

TimeRangeDialog::TimeRangeDialog(std::int64_t fromMs, std::int64_t toMs, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Load Time Range");
    auto* form = new QFormLayout(this);
    From = new QLineEdit(FieldTime(fromMs), this);
    To = new QLineEdit(FieldTime(toMs), this);
    From->setAccessibleName("From (UTC)");
    To->setAccessibleName("To (UTC)");
    form->addRow("From (UTC)", From);
    form->addRow("To (UTC)", To);
    Problem = new QLabel(this);
    form->addRow(Problem);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TimeRangeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TimeRangeDialog::reject);
}

void TimeRangeDialog::accept() {
    for (QLineEdit* field : {From, To}) {
        if (ParseUtcTime(field->text().trimmed())) continue;
        Problem->setText(field->accessibleName() + " is no time of the form 2021-02-06 14:00:00");
        field->setFocus();
        return;
    }
    const TimeRange range{ParseUtcTime(From->text().trimmed()), ParseUtcTime(To->text().trimmed())};
    if (*range.to <= *range.from) {
        Problem->setText(To->accessibleName() + " comes after " + From->accessibleName());
        To->setFocus();
        return;
    }
    range_ = range;
    QDialog::accept();
}
