#include "ui/main_window.h"

#include "intake/program_places.h"
#include "telemetry/beacon_layout.h"
#include "ui/info_window.h"
#include "ui/satellite_picture.h"
#include "ui/scrollable_surface.h"
#include "ui/twips.h"
#include "ui/user_dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <utility>

namespace {

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

Form1::Form1(ProgramState& state, const BuildVariant& variant, UserDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), state_(state), variant_(variant), dialogs_(dialogs),
      decodeView_{.packetDecoded = [this](DecodedPacket& packet) { return TakePacket(packet); },
                  .frameLog = [this](std::string_view line) { AppendFrameLog(line); },
                  .beaconText = [this](std::string_view line) { AppendBeaconText(line); }} {
    setObjectName("Form1");
    setWindowTitle(kWindowTitle);
    setWindowIcon(SatellitePicture(QSize(64, 64)));
    // a narrow sans serif of 8.25 pt at 96 dpi, the size the layout was drawn for
    QFont font = this->font();
    font.setFamilies({"MS Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans"});
    font.setPixelSize(11);
    setFont(font);

    BuildMenus();
    BuildSurface();

    liveSession_ = new LiveSession(decodeView_, variant_.log, this);
    Winsock1 = &liveSession_->client();
    connect(Winsock1, &KissClient::Failed, Text4, &QLineEdit::setText);
    connect(liveSession_, &LiveSession::Arrived, this, &Form1::Winsock1_DataArrival);
    connect(liveSession_, &LiveSession::ForwardingChanged, this, &Form1::ShowForwarding);
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);

    const int menuHeight = menuBar()->sizeHint().height();
    if (variant_.scrollableSurface) {
        setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        scrollableSurface = new ScrollableSurface(PictureForm);
        setCentralWidget(scrollableSurface);
        resize(Twips(11100), Twips(8235) + menuHeight);
    } else {
        setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint |
                       Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
        setCentralWidget(PictureForm);
        setFixedSize(PictureForm->width(), PictureForm->height() + menuHeight);
    }
}

void Form1::BuildMenus() {
    // "&" marks each caption's Alt key; the caption, heard and seen, is the text without it
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("MnuFile");
    MnuOpenKISSFile = file->addAction("&Open KISS File");
    connect(MnuOpenKISSFile, &QAction::triggered, this, &Form1::MnuOpenKISSFile_Click);
    MnuOpenServerLog = file->addAction("Open &SatNOGS CSV");
    connect(MnuOpenServerLog, &QAction::triggered, this, &Form1::MnuOpenServerLog_Click);
    MenuFileExit = file->addAction("E&xit");
    connect(MenuFileExit, &QAction::triggered, qApp, &QCoreApplication::quit);

    QMenu* tlmFile = menuBar()->addMenu("&TLM File");
    tlmFile->setObjectName("MnuSettings");
    WriteCSVFile = tlmFile->addAction("Write &CSV File");
    connect(WriteCSVFile, &QAction::triggered, this, &Form1::WriteCSVFile_Click);
    WriteTLMFile = tlmFile->addAction("Write T&LM File");
    connect(WriteTLMFile, &QAction::triggered, this, &Form1::WriteTLMFile_Click);

    MnuInfo = menuBar()->addAction("&Info");
    connect(MnuInfo, &QAction::triggered, this, &Form1::MnuInfo_Click);

    // menus open as windows of their own, which take no font from the main window
    for (QMenu* menu : {file, tlmFile}) menu->setFont(font());
}

QString Form1::Form_Load(const QString& programFolder) {
    ApplyChannelTable();
    programFolder_ = programFolder;
    const ProgramPlaces places = FindProgramPlaces(programFolder);
    QString note;
    if (places.installed && !QFileInfo::exists(places.configFile)) {
        if (const QString error = WriteDefaultConfiguration(places.configFile); !error.isEmpty()) return error;
        note = "A default conf.ini was written to " + places.configFile;
    }
    const ConfigurationResult result = ReadConfigurationFile(places.configFile, places.imageFolder);
    if (!result.configuration) return result.error;

    configuration_ = *result.configuration;
    captureFolder_ = configuration_.capturePath.isEmpty() ? places.captureFolder : configuration_.capturePath;
    ApplyConfiguration();
    OpenArchive();
    // a limits file named without a folder stands beside conf.ini
    if (!configuration_.limits.isEmpty())
        configuration_.limits = QDir(QFileInfo(places.configFile).path()).filePath(configuration_.limits);
    OpenLimits();
    OpenOrbit(QFileInfo(places.configFile).path());
    if (!configuration_.sidsProblem.isEmpty()) note = configuration_.sidsProblem;
    if (!note.isEmpty()) Text4->setText(note);
    Timer1->start();  // the state shows within a second, connected or not
    return {};
}

void Form1::ApplyConfiguration() {
    state_.imagePath = configuration_.imagePath;
    liveSession_->SetServer(configuration_.serverHost, configuration_.serverPort.value_or(0));
    Label2->setText(configuration_.serverLabel);
    // the state replaces the server within a second: it stays at hand as the tooltip
    Label2->setToolTip(configuration_.serverLabel);
    Label2->setAccessibleDescription("Connection state of the server " + configuration_.serverLabel);
    Command1->setVisible(configuration_.screenshotButton);
    Winsock1->SetReconnect(configuration_.reconnect ? std::optional(ReconnectPolicy{}) : std::nullopt);
    const QString version = QString::fromLatin1(variant_.programName) + ' ' + QString::fromLatin1(variant_.versionNumber);
    liveSession_->Configure(captureFolder_, configuration_.sids, version);
}

void Form1::OpenArchive() {
    if (configuration_.archive.isEmpty()) return;
    const QString location = configuration_.archive.toUpper() == u"YES" ? QDir(captureFolder_).filePath(kArchiveFileName)
                                                                        : configuration_.archive;
    QString error;
    archive_ = ArchiveSession::Open(location, configuration_.callsign.toStdString(), QDir(captureFolder_).filePath(kArchiveWaitingFileName),
                                    error);
    if (!archive_) return Text4->setText(error + "; nothing is archived");
    connect(archive_.get(), &ArchiveSession::committed, this, &Form1::ShowArchiveReport);

    // the Archive menu is there only with an archive: without one the window is as it was
    auto* menu = new QMenu("&Archive", this);
    menu->setFont(font());
    MnuLoadTimeRange = menu->addAction("&Load Time Range");
    connect(MnuLoadTimeRange, &QAction::triggered, this, &Form1::MnuLoadTimeRange_Click);
    MnuHistory = menu->addAction("&History");
    connect(MnuHistory, &QAction::triggered, this, &Form1::MnuHistory_Click);
    MnuPasses = menu->addAction("&Passes");
    connect(MnuPasses, &QAction::triggered, this, &Form1::MnuPasses_Click);
    MnuArchive = menuBar()->insertMenu(MnuInfo, menu);
    HeardByLabel = new QLabel(PictureForm);
    HeardByLabel->setObjectName("HeardByLabel");
    HeardByLabel->setGeometry(TwipsRect(120, 5640, 2700, 255));
    HeardByLabel->setAccessibleDescription("The stations that heard the packet shown");
    HeardByLabel->show();
    decodeView_.satelliteFrame = [this](std::string_view frame, const FrameFacts& facts) { archive_->Take(frame, facts); };
}

void Form1::CommitArchive() {
    if (archive_) ShowArchiveReport(archive_->Commit());
}

void Form1::CommitArchiveLater() {
    if (archive_) archive_->CommitLater();
}

void Form1::ShowArchiveReport(const FeedReport& report) {
    const ArchiveCounts& counts = report.counts;
    if (counts.waiting > 0)
        Text4->setText(QStringLiteral("%1 cannot be reached: %2 frames wait").arg(archive_->name()).arg(counts.waiting));
    else if (!report.error.isEmpty())
        Text4->setText(archive_->name() + " could not keep the frames: " + report.error);
    if (counts.added + counts.heardAgain == std::exchange(archiveChanges_, counts.added + counts.heardAgain)) return;
    if (history_) history_->ArchiveChanged();
    if (passes_) passes_->ArchiveChanged();
    ShowHeardBy(HScroll1->value());  // a live packet shown may be in the archive now
}

void Form1::ShowForwarding() {
    // the state row is too narrow for an error: it goes to the status line when new, and
    // the whole row stays at hand as the tooltip
    const SidsStatus status = *liveSession_->forwarding();
    Label2->setToolTip(configuration_.serverLabel + '\n' + ForwardingText(status));
    if (status.lastError != shownForwardingError_ && !status.lastError.isEmpty()) Text4->setText("SiDS: " + status.lastError);
    shownForwardingError_ = status.lastError;
}

void Form1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // the screenshot buffer is always as large as the client area
    Picture2->setGeometry(QRect(QPoint(0, 0), centralWidget()->size()));
}

void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    QCoreApplication::quit();  // the Info window goes with it
}

void Form1::MnuInfo_Click() {
    if (!info_) {
        info_ = new Info(variant_, this);
        info_->setAttribute(Qt::WA_DeleteOnClose);  // closing unloads it; the next command loads it anew
    }
    info_->show();
    info_->raise();
    info_->activateWindow();
}

void Form1::AppendFrameLog(std::string_view line) { AppendFrameLogText(Latin1(line)); }

void Form1::AppendFrameLogText(const QString& line) {
    pendingFrameLog_.push_back(line);
    ScheduleFlush();
}

void Form1::AppendBeaconText(std::string_view line) {
    pendingBeaconText_.push_back(Latin1(line));
    ScheduleFlush();
}

bool Form1::TakePacket(const DecodedPacket& packet) {
    JudgeLimits(packet.record);
    if (!state_.StorePacket(packet)) return false;
    // received live: by this station, until the archive tells who else
    if (archive_ && packet.facts.mark == '\0' && !packet.facts.source.empty())
        state_.SetHeardBy({configuration_.callsign.toStdString(), true, archiveChanges_});
    pendingPayloadText_ = Latin1(packet.frame.substr(kPayloadTextOffset, kPayloadTextLength));
    ScheduleFlush();
    SetPacketMaximum(state_.packetCount);
    return true;
}

void Form1::ScheduleFlush() {
    if (flushQueued_) return;
    flushQueued_ = true;
    QMetaObject::invokeMethod(this, &Form1::FlushLogs, Qt::QueuedConnection);
}

void Form1::FlushLogs() {
    flushQueued_ = false;
    // one append of many lines reads exactly as the lines appended one by one
    if (!pendingFrameLog_.isEmpty()) Text5->appendPlainText(pendingFrameLog_.join(u'\n'));
    if (!pendingBeaconText_.isEmpty()) Text8->appendPlainText(pendingBeaconText_.join(u'\n'));
    pendingFrameLog_.clear();
    pendingBeaconText_.clear();
    if (pendingPayloadText_) {
        Text6->setText(*pendingPayloadText_);
        Label5->setText(Text6->text());
        pendingPayloadText_.reset();
    }
}
