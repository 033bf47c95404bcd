// The exports: the store as CSV, the packet on screen as a report, and the window as a picture.
#include "exports/csv_export.h"
#include "exports/export_names.h"
#include "exports/screenshot.h"
#include "exports/tlm_report.h"
#include "intake/program_places.h"
#include "intake/whole_file.h"
#include "telemetry/value_text.h"
#include "ui/main_window.h"
#include "ui/user_dialogs.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

void Form1::WriteExport(const QString& extension, std::string_view signature, std::string_view bytes) {
    const QString name = ExportFileName(state_.currentFileName, extension, {signature, state_.importedFiles});
    const QString error = WriteFileSafely(name, bytes);
    Text4->setText(error.isEmpty() ? name + " has been written" : name + " could not be written: " + error);
}

void Form1::WriteCSVFile_Click() {
    if (state_.currentFileName.isEmpty()) state_.currentFileName = QString(kDefaultBaseName) + ".csv";
    WriteExport("csv", CsvHeading(), CsvText(state_, DecimalSeparator()));
}

void Form1::WriteTLMFile_Click() {
    if (state_.currentFileName.isEmpty()) state_.currentFileName = QString(kDefaultBaseName) + ".tlm";
    std::array<ShownChannel, kChannelCount> table;
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = {Option1[i]->text(), Text1[i]->text(), Label1[i]->text()};
    WriteExport("tlm", kTlmBanner, TlmReportText(table));
}

void Form1::Command1_Click() {
    // the picture shows neither the screenshot button nor the chart's check box
    Check1->hide();
    Command1->hide();
    for (QLineEdit* box : PictureForm->findChildren<QLineEdit*>()) box->deselect();  // no highlighted text
    QApplication::processEvents();
    Picture2->setPixmap(centralWidget()->grab());
    Check1->show();
    Command1->show();

    const QString bitmap = ScreenshotBitmapName(state_.imagePath, state_.currentFileName);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Picture2->pixmap().save(&buffer, "BMP");
    if (const QString error = MakeFolder(QFileInfo(bitmap).path()); !error.isEmpty()) return Text4->setText(error);
    if (const QString error = WriteFileSafely(bitmap, ByteView(bytes)); !error.isEmpty()) {
        Text4->setText(bitmap + " could not be saved: " + error);
        return;
    }
    Text4->setText(bitmap + " saved");

    if (!StartConverter(programFolder_, bitmap)) {
        dialogs_.ShowMessage(this, "Error", "nconvert.exe not found");
        return;
    }
    Text4->setText(ConvertedImageName(bitmap) + " converted and saved");
}
