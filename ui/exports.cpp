// The exports: the store as CSV, the packet on screen as a report, and the window as a picture.
#include "archive/csv_export.h"
#include "archive/export_names.h"
#include "archive/safe_write.h"
#include "archive/screenshot.h"
#include "archive/tlm_report.h"
#include "telemetry/value_text.h"
#include "ui/main_window.h"
#include "ui/user_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

QStringList Form1::ImportedFiles() const {
    QStringList files;
    for (int i = 0; i < List3->count(); ++i) files << List3->item(i)->text();
    return files;
}

void Form1::WriteExport(const QString& extension, std::string_view bytes) {
    const QString name = ExportFileName(state_.currentFileName, extension, ImportedFiles());
    const QString error = WriteFileSafely(name, bytes);
    Text4->setText(error.isEmpty() ? name + " has been written" : name + " could not be written: " + error);
}

void Form1::WriteCSVFile_Click() {
    if (state_.currentFileName.isEmpty()) state_.currentFileName = QString(kDefaultBaseName) + ".csv";
    WriteExport("csv", CsvText(state_, DecimalSeparator()));
}

void Form1::WriteTLMFile_Click() {
    if (state_.currentFileName.isEmpty()) state_.currentFileName = QString(kDefaultBaseName) + ".tlm";
    std::array<ShownChannel, kChannelCount> table;
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = {Option1[i]->text(), Text1[i]->text(), Label1[i]->text()};
    WriteExport("tlm", TlmReportText(table));
}

void Form1::Command1_Click() {
    // the picture shows neither the screenshot button nor the chart's check box
    Check1->hide();
    Command1->hide();
    QApplication::processEvents();
    Picture2->setPixmap(centralWidget()->grab());
    Check1->show();
    Command1->show();

    const QString bitmap = ScreenshotBitmapName(state_.imagePath, state_.currentFileName);
    if (!Picture2->pixmap().save(bitmap, "BMP")) {
        Text4->setText(bitmap + " could not be saved");
        return;
    }
    Text4->setText(bitmap + " saved");

    if (!StartConverter(programFolder_, bitmap)) {
        dialogs_.ShowMessage(this, "Error", "nconvert.exe not found");
        return;
    }
    Text4->setText(ConvertedImageName(bitmap) + " converted and saved");
}
