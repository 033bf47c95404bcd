// The import commands: files chosen in a dialog, read into an emptied store.
#include "intake/satnogs_reader.h"
#include "ui/file_selection.h"
#include "intake/kiss_file.h"
#include "ui/main_window.h"
#include "ui/user_dialogs.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>

// The import commands, and Load Time Range, stay disabled while an import runs: it lets the
// event loop run between files, and a second import started there would interleave with the
// first. A range asked for meanwhile (a double click into History) is loaded after it.
class ImportRunning {
public:
    ImportRunning(Form1& window, std::initializer_list<QAction*> commands) : window_(window) {
        for (QAction* command : commands)
            if (command) commands_.push_back(command);
        for (QAction* command : commands_) command->setEnabled(false);
        window_.importing_ = true;
    }
    ~ImportRunning() {
        for (QAction* command : commands_) command->setEnabled(true);
        window_.importing_ = false;
        if (const std::optional<TimeRange> range = std::exchange(window_.rangeAfterImport_, std::nullopt)) window_.LoadTimeRange(*range);
    }

private:
    Form1& window_;
    std::vector<QAction*> commands_;
};

void Form1::StartImport() {
    ApplyChannelTable();
    ResetStore();
    liveRefused_ = 0;
    pendingFrameLog_.clear();
    pendingBeaconText_.clear();
    Text5->clear();
    Text8->clear();
}

bool Form1::ChooseImportFiles(const QString& filter) {
    const std::optional<QStringList> chosen = dialogs_.ChooseFilesToOpen(this, filter);
    if (!chosen) return true;  // cancelled: the files of the last selection are read again
    if (SelectionLength(*chosen) > kSelectionBufferLength) {
        dialogs_.ShowMessage(this, QString::fromLatin1(variant_.programName), QString::fromUtf8(kTooManyFilesMessage));
        return false;
    }
    List3->clear();
    List3->addItems(*chosen);  // sorted: date-named captures are read in date order
    return true;
}

void Form1::ShowImportedFile(const QString& path) {
    state_.currentFileName = path;
    state_.importedFiles.insert(QFileInfo(path).canonicalFilePath());
    Text4->setText(path);
}

void Form1::RefreshAfterImport() {
    unsetCursor();
    SetPacketMaximum(state_.packetCount);  // no maximum of an earlier import is left behind
    Option1[0]->setChecked(true);
    Option1_Click(0);
    HScroll1_Change();
}

void Form1::MnuOpenKISSFile_Click() {
    const ImportRunning running(*this, {MnuOpenKISSFile, MnuOpenServerLog, MnuLoadTimeRange});
    StartImport();
    if (!ChooseImportFiles("KISS Files (*.kss)|*.kss|All Files (*.*)|*.*")) return;

    // one context for the import: times carry from file to file of it, never from an earlier one
    DecoderContext context{decodeView_, variant_.log};
    int refused = 0;
    for (int i = 0; i < List3->count(); ++i) {
        const QString path = List3->item(i)->text();
        ShowImportedFile(path);
        FlushLogs();
        QApplication::processEvents();
        context.source = QFile::encodeName(path).toStdString();
        const KissCaptureOutcome outcome = ReadKissFile(context, path);
        refused += outcome.refused;
        RefreshAfterImport();
        if (!outcome.read) Text4->setText(path + " could not be read: " + outcome.error);
    }
    FlushLogs();
    ReportRefusedFrames(refused);
    CommitArchive();
}

QString RefusedFramesText(int refused) {
    return QStringLiteral("The store is full at %1 packets: %2 telemetry frames were not stored")
        .arg(kStoreCapacity)
        .arg(refused);
}

void Form1::ReportRefusedFrames(int refused) {
    if (refused > 0) Text4->setText(RefusedFramesText(refused));
}

void Form1::MnuOpenServerLog_Click() {
    const ImportRunning running(*this, {MnuOpenKISSFile, MnuOpenServerLog, MnuLoadTimeRange});
    StartImport();
    if (!ChooseImportFiles("Log Files (*.csv)|*.csv|All Files (*.*)|*.*")) return;

    int refused = 0;
    for (int i = 0; i < List3->count(); ++i) {
        const QString path = List3->item(i)->text();
        ShowImportedFile(path);
        refused += ImportSatnogsFile(path);
    }
    FlushLogs();
    ReportRefusedFrames(refused);
    CommitArchive();
}

int Form1::ImportSatnogsFile(const QString& path) {
    setCursor(Qt::WaitCursor);
    DecoderContext context{decodeView_, variant_.log};
    context.source = QFile::encodeName(path).toStdString();
    const SatnogsFileOutcome outcome =
        ReadSatnogsFile(context, path,
                        {.note = [this](const QString& line) { AppendFrameLogText(line); },
                         .counted = [this](int records) { Text2->setText(QString::number(records)); },
                         .progress = [this](int record) {
                             Text2->setText(QString::number(record));
                             FlushLogs();
                             QApplication::processEvents();
                         }});
    RefreshAfterImport();
    if (!outcome.read) Text4->setText(path + " could not be read: " + outcome.error);
    return outcome.refused;
}
