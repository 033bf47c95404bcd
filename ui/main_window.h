#pragma once

#include "archive/archive_session.h"
#include "archive/sqlite/sqlite_archive.h"
#include "intake/configuration.h"
#include "intake/live_session.h"
#include "orbit/pass_prediction.h"
#include "telemetry/beacon_decoder.h"
#include "telemetry/channel_table.h"
#include "telemetry/program_state.h"
#include "ui/build_variant.h"
#include "ui/health_window.h"
#include "ui/history_window.h"
#include "ui/info_window.h"
#include "ui/passes_window.h"

#include <QDateTime>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class ChannelChart;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTabWidget;
class QTimer;
class ScrollableSurface;
class UserDialogs;

inline constexpr char kWindowTitle[] = "ORCA-5 Telemetry Decoder (orca5 project)";

// What the status line says when a full store turned telemetry frames away.
QString RefusedFramesText(int refused);

// "N0AAA (first), N0BBB" of the stations that heard a packet and the one that heard it first.
std::string HeardByText(std::string_view stations, std::string_view first);

// "sunlit, over 51.78 N 109.91 E at 384 km, 23.4 deg up": the packet line's orbit.
QString OrbitPointText(const std::optional<OrbitPoint>& point);
// "next pass 14:02 UTC in 42 min, max 63 deg", "above the horizon now, LOS in 6 min".
QString NextPassText(const std::optional<PredictedPass>& pass, double nowMs);

// "SiDS: 12 sent, 0 waiting, 1 rejected", and the last error when there was one.
QString ForwardingText(const SidsStatus& status);

// The main window. It shows the program state and hands the user's commands to the library;
// its controls carry the names the rest of the program knows them by.
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    Form1(ProgramState& state, const BuildVariant& variant, UserDialogs& dialogs, QWidget* parent = nullptr);

    // Start-up: captions the table and applies conf.ini, from the program's folder or, when
    // none stands there, from the user's config folder (written there on the first start).
    // Returns why start-up cannot go on, or nothing.
    QString Form_Load(const QString& programFolder);
    const Configuration& configuration() const { return configuration_; }

    // The telemetry table.
    void ApplyChannelTable();
    void ResetStore();
    void ShowPacket(int n);

    // Navigation.
    void HScroll1_Change();

    // Channel choice and the chart.
    enum class ChartRequest { Channel, Group };
    void Option1_Click(int index, ChartRequest request = ChartRequest::Channel);
    void Check1_Click();
    void BuildChannelChart(int channel);
    void BuildGroupChart(const ChartGroup& group);

    void MnuInfo_Click();
    Info* info() const { return info_; }

    // Imports: each empties the store and the logs, then reads the chosen files.
    void MnuOpenKISSFile_Click();
    void MnuOpenServerLog_Click();
    int ImportSatnogsFile(const QString& path);  // the telemetry frames a full store refused

    // The archive, when conf.ini names one: a time range of it loaded as an import.
    void MnuLoadTimeRange_Click();
    void LoadTimeRange(const TimeRange& range);
    void LoadTimeRangeInFront(const TimeRange& range);  // ... asked for from another window
    void MnuHistory_Click();
    History* history() const { return history_; }
    void MnuPasses_Click();
    Passes* passes() const { return passes_; }

    // Limits, when conf.ini names a file: the Health window.
    void MnuHealth_Click();
    Health* health() const { return health_; }

    // The exports.
    void WriteCSVFile_Click();
    void WriteTLMFile_Click();
    void Command1_Click();

    // The live client.
    void Check5_Click();
    void Timer1_Timer();
    void TakeLiveData(const QByteArray& chunk);  // one arrival: decoded, logged, shown
    void Winsock1_DataArrival(const LiveArrival& arrival, const QString& captureNews);  // ... shown
    QString Winsock_State();
    const KissStream& liveStream() const { return liveSession_->stream(); }

    // Log lines reach their boxes in one append per batch: at the next pass of the event
    // loop, or now.
    void FlushLogs();

    // What decoding hands the window: each packet goes into the store and is shown; log
    // lines reach their pages.
    DecodeView& decodeView() { return decodeView_; }
    bool TakePacket(const DecodedPacket& packet);
    void AppendFrameLog(std::string_view line);
    void AppendBeaconText(std::string_view line);
    void SetPacketMaximum(int packetCount);

    // The surface and its controls.
    QWidget* PictureForm;
    ScrollableSurface* scrollableSurface = nullptr;  // orca5s only
    QCheckBox* Check5;
    QFrame* Shape10;
    QLabel* Label2;
    QLabel* Label5;
    QTabWidget* SSTab1;
    std::array<QRadioButton*, kChannelCount> Option1;
    std::array<QLineEdit*, kChannelCount> Text1;
    std::array<QLabel*, kChannelCount> Label1;
    QPlainTextEdit* Text8;
    QPlainTextEdit* Text5;
    QLabel* Label3;
    QLabel* Label4;
    QGroupBox* Frame1;
    ChannelChart* MSChart1;
    QCheckBox* Check1;
    QPushButton* Command1;
    QLineEdit* Text4;
    QLineEdit* Text2;
    QScrollBar* HScroll1;
    QLineEdit* Text6;
    QListWidget* List3;
    QLabel* Picture2;
    QTimer* Timer1;
    KissClient* Winsock1;

    // The menu commands.
    QAction* MnuOpenKISSFile;
    QAction* MnuOpenServerLog;
    QAction* MenuFileExit;
    QAction* WriteCSVFile;
    QAction* WriteTLMFile;
    QAction* MnuInfo;
    QAction* MnuArchive = nullptr;  // the Archive menu, there when conf.ini names an archive
    QAction* MnuLoadTimeRange = nullptr;
    QAction* MnuHistory = nullptr;
    QAction* MnuPasses = nullptr;
    QAction* MnuHealth = nullptr;   // View > Health, there with LIMITS
    QLabel* LimitsLabel = nullptr;  // "Limits: 2 red, 1 yellow", in the menu bar's corner
    QLabel* HeardByLabel = nullptr; // "heard by N0AAA (first), N0BBB", left of the time stamps, with an archive
    QLabel* OrbitLabel = nullptr;   // the packet shown's place and light, on the table's last row, with TLE
    QLabel* NextPassLabel = nullptr;  // "next pass 14:02 UTC in 42 min, max 63 deg", in the menu bar's corner

    // The clock the next pass is reckoned from; the line is reckoned anew from it.
    void SetClock(std::function<qint64()> now);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void ApplyConfiguration();
    void ShowForwarding();
    void OpenArchive();
    void OpenLimits();
    // The menu bar's corner, where the limits' count and the next pass stand: room for the
    // widest text given, since the bar lays its corner out once.
    void AddToMenuCorner(QLabel* label, const QString& widest);
    void OpenOrbit(const QString& confFolder);
    void ShowOrbit(const TelemetryRecord* shown);
    void ShowNextPass();
    // The stored packets heard in eclipse, as runs of rows: worked out for each packet once, as
    // the store grows, not at each chart.
    const std::vector<std::pair<int, int>>& EclipseRows();
    void JudgeLimits(const TelemetryRecord& record);  // each packet as it is stored, in order
    void ResetLimits();                               // an import starts anew
    void TickLimits();                                // each second: stale, and Health's "ago"
    // The value boxes of the packet shown (none: plain) by their state, the count, Health.
    void ShowLimits(const TelemetryRecord* shown);
    // The batch in hand, waited for before what came in last is read back; or not waited for,
    // its figures shown when they come. A failure goes to the status line.
    void CommitArchive();
    void CommitArchiveLater();
    void ShowArchiveReport(const FeedReport& report);
    void BuildSurface();
    void BuildStatusRow();
    void BuildTabs();
    void BuildTelemetryTable(QWidget* page);
    void BuildChartFrame();
    void BuildBottomRow();
    void BuildWorkingStorage();
    void HighlightChannel(int index);
    void ShowHeardBy(int n);
    void LookUpLiveHeardBy(int n);
    void ShowPosition(int count);
    void StartImport();
    bool ChooseImportFiles(const QString& filter);
    void ShowImportedFile(const QString& path);
    void RefreshAfterImport();
    void ReportRefusedFrames(int refused);
    void WriteExport(const QString& extension, std::string_view signature, std::string_view bytes);
    void ScheduleFlush();
    void AppendFrameLogText(const QString& line);

    ProgramState& state_;
    const BuildVariant& variant_;
    UserDialogs& dialogs_;
    Configuration configuration_;
    QString programFolder_;
    QString captureFolder_;  // the daily capture files and the SiDS outbox
    LiveSession* liveSession_;
    std::unique_ptr<ArchiveSession> archive_;  // when conf.ini names one
    bool importing_ = false;
    std::optional<TimeRange> rangeAfterImport_;    // asked for while an import ran
    friend class ImportRunning;
    DecodeView decodeView_;
    QString shownForwardingError_;
    int liveRefused_ = 0;  // live telemetry frames the full store turned away since the last import
    QPointer<Info> info_;
    QPointer<History> history_;
    QPointer<Passes> passes_;
    std::optional<LimitJudge> limitJudge_;
    QString limitsProblem_;                    // why the limits file could not be used
    std::vector<LimitTransition> transitions_;  // judged into, reused
    std::array<LimitState, kChannelCount> shownStates_{};  // of the packet shown, for the boxes' colours
    QPointer<Health> health_;
    std::int64_t archiveChanges_ = 0;  // what the archive had taken at its last commit
    std::optional<Orbit> orbit_;       // with TLE
    std::optional<Geodetic> station_;  // with LATITUDE and LONGITUDE
    std::optional<PredictedPass> nextPass_;
    double nextSearchMs_ = 0;
    std::vector<std::pair<int, int>> eclipseRows_;  // of the rows up to eclipseRowsThrough_
    int eclipseRowsThrough_ = 0;
    std::function<qint64()> now_ = [] { return QDateTime::currentMSecsSinceEpoch(); };

    // Decoded but not yet shown: a box appended line by line takes seconds for 10000 lines.
    QStringList pendingFrameLog_;
    QStringList pendingBeaconText_;
    std::optional<QString> pendingPayloadText_;
    bool flushQueued_ = false;
};
