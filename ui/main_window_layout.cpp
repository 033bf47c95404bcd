// Where every control of the main window stands, in twips as designed.
#include "ui/channel_chart.h"
#include "ui/main_window.h"
#include "ui/packet_bar.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

namespace {

const QColor kSurfaceGrey(240, 240, 240);
const QColor kGreyText(128, 128, 128);

template <typename Control>
Control* Place(Control* control, const char* name, const QRect& place) {
    control->setObjectName(name);
    control->setGeometry(place);
    return control;
}

void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void SetBold(QWidget* widget, int pixelSize) {
    QFont font = widget->font();
    font.setBold(true);
    font.setPixelSize(pixelSize);
    widget->setFont(font);
}

// A box that shows what was decoded or reported: its text can be selected and copied, not typed over.
QLineEdit* ReadingBox(QLineEdit* box) {
    box->setReadOnly(true);
    return box;
}

QPlainTextEdit* LogBox(QWidget* page, const char* name, const QString& accessibleName) {
    auto* log = Place(new QPlainTextEdit(page), name, TwipsRect(120, 60, 10215, 4335));
    log->setAccessibleName(accessibleName);
    log->setReadOnly(true);
    log->setLineWrapMode(QPlainTextEdit::NoWrap);
    log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font("Consolas");
    font.setStyleHint(QFont::Monospace);
    font.setFamilies({"Consolas", "DejaVu Sans Mono"});
    font.setPixelSize(11);
    log->setFont(font);
    return log;
}

// Column of a channel in the telemetry table: where its selector, value box and unit stand.
struct TableColumn {
    int option, text, label;
};
constexpr TableColumn kTableColumns[] = {{120, 2040, 2880}, {3600, 5520, 6360}, {7080, 9000, 9840}};

}  // namespace

void Form1::BuildSurface() {
    PictureForm = new QWidget;
    PictureForm->setObjectName("PictureForm");
    PictureForm->setFixedSize(TwipsSize(10695, 11415));
    PictureForm->setAutoFillBackground(true);
    SetColour(PictureForm, QPalette::Window, kSurfaceGrey);

    BuildStatusRow();
    BuildTabs();
    BuildChartFrame();
    BuildBottomRow();
    BuildWorkingStorage();
}

void Form1::BuildStatusRow() {
    Check5 = Place(new QCheckBox("TCP client", PictureForm), "Check5", TwipsRect(120, 120, 1215, 255));
    connect(Check5, &QCheckBox::clicked, this, &Form1::Check5_Click);

    Shape10 = Place(new QFrame(PictureForm), "Shape10", TwipsRect(1560, 180, 255, 135));
    Shape10->setAccessibleName("Connection lamp");
    Shape10->setFrameShape(QFrame::Box);
    Shape10->setAutoFillBackground(true);
    SetColour(Shape10, QPalette::Window, QColor(0xC0, 0xC0, 0xC0));

    // labels that show text are heard by their text; the description says what it is
    Label2 = Place(new QLabel(PictureForm), "Label2", TwipsRect(1920, 120, 4215, 255));
    Label2->setAccessibleDescription("Server and connection state");
    SetColour(Label2, QPalette::WindowText, kGreyText);

    Label5 = Place(new QLabel(PictureForm), "Label5", TwipsRect(4920, 120, 5535, 255));
    Label5->setAccessibleDescription("Payload text of the last frame");
    Label5->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetColour(Label5, QPalette::WindowText, QColor(0, 0, 255));
    SetBold(Label5, 11);
}

void Form1::BuildTabs() {
    SSTab1 = Place(new QTabWidget(PictureForm), "SSTab1", TwipsRect(120, 480, 10455, 4935));
    auto* telemetry = new QWidget;
    BuildTelemetryTable(telemetry);
    SSTab1->addTab(telemetry, "Telemetry");

    auto* beacons = new QWidget;
    Text8 = LogBox(beacons, "Text8", "ASCII beacons log");
    SSTab1->addTab(beacons, "ASCII beacons");

    auto* debug = new QWidget;
    Text5 = LogBox(debug, "Text5", "Frame log");
    SSTab1->addTab(debug, "debug");
}

void Form1::BuildTelemetryTable(QWidget* page) {
    // rows are counted from just below the tab row, 240 twips apart
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const TableColumn& column = kTableColumns[channel % 3];
        const int top = 60 + 240 * (channel / 3);
        const auto index = static_cast<std::size_t>(channel);

        // the selector reaches to its value box: our fonts run a little wider than the design's
        Option1[index] = Place(new QRadioButton(page), "Option1", TwipsRect(column.option, top, column.text - column.option, 255));
        Text1[index] = ReadingBox(Place(new QLineEdit(page), "Text1", TwipsRect(column.text, top, 735, 285)));
        Label1[index] = Place(new QLabel(page), "Label1", TwipsRect(column.label, top, 495, 255));
        Option1[index]->setProperty("channel", channel);
        Option1[index]->installEventFilter(this);
        SetColour(Text1[index], QPalette::Base, kSurfaceGrey);
        connect(Option1[index], &QRadioButton::clicked, this, [this, channel] {
            const bool shift = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
            Option1_Click(channel, shift ? ChartRequest::Group : ChartRequest::Channel);
        });
    }
}

void Form1::BuildChartFrame() {
    Frame1 = Place(new QGroupBox(PictureForm), "Frame1", TwipsRect(120, 5880, 10455, 4935));
    Frame1->setAccessibleName("Chart");
    SetBold(Frame1, 13);
    QFont plain = font();  // the caption's bold stays in the caption
    plain.setBold(false);

    MSChart1 = Place(new ChannelChart(Frame1), "MSChart1", TwipsRect(120, 240, 10215, 4575));
    MSChart1->setAccessibleName("Channel chart");
    MSChart1->setFont(plain);

    Check1 = Place(new QCheckBox("B", Frame1), "Check1", TwipsRect(9720, 4440, 375, 255));
    Check1->setAccessibleName("B: bars, else a line");
    Check1->setFont(plain);
    Check1->resize(std::max(Check1->width(), Check1->sizeHint().width()), Check1->height());
    Check1->setChecked(true);
    connect(Check1, &QCheckBox::clicked, this, &Form1::Check1_Click);

    Label3 = Place(new QLabel(PictureForm), "Label3", TwipsRect(2880, 5640, 3255, 255));
    Label3->setAccessibleDescription("On-board time stamp");
    Label4 = Place(new QLabel(PictureForm), "Label4", TwipsRect(6360, 5640, 3975, 255));
    Label4->setAccessibleDescription("Reception time stamp");
    Label4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetBold(Label4, 11);
}

void Form1::BuildBottomRow() {
    Command1 = Place(new QPushButton("S", PictureForm), "Command1", TwipsRect(120, 10920, 495, 315));
    Command1->setAccessibleName("S: screenshot");
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);

    Text4 = ReadingBox(Place(new QLineEdit(PictureForm), "Text4", TwipsRect(720, 10920, 7335, 285)));
    Text4->setAccessibleName("Status line");
    SetColour(Text4, QPalette::Text, kGreyText);
    SetColour(Text4, QPalette::Base, kSurfaceGrey);

    Text2 = ReadingBox(Place(new QLineEdit(PictureForm), "Text2", TwipsRect(8160, 10920, 975, 285)));
    Text2->setAccessibleName("Packet position");
    SetColour(Text2, QPalette::Base, kSurfaceGrey);

    HScroll1 = Place(new PacketBar(PictureForm), "HScroll1", TwipsRect(9240, 10920, 1335, 375));
    HScroll1->setAccessibleName("Packet");
    HScroll1->setRange(1, 1);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(1);
    HScroll1->setTracking(false);  // dragging takes effect on release
    HScroll1->setFocusPolicy(Qt::StrongFocus);  // Tab reaches it
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form1::HScroll1_Change);
}

void Form1::BuildWorkingStorage() {
    // beyond the surface's right edge: never seen, only used, so out of the focus chain and
    // hidden from assistive technology too
    Text6 = Place(new QLineEdit(PictureForm), "Text6", TwipsRect(12360, 120, 1215, 285));
    Text6->setAccessibleName("Payload text");
    List3 = Place(new QListWidget(PictureForm), "List3", TwipsRect(12360, 600, 1215, 1035));
    List3->setAccessibleName("Files to read");
    List3->setSortingEnabled(true);
    for (QWidget* storage : std::initializer_list<QWidget*>{Text6, List3}) {
        storage->setFocusPolicy(Qt::NoFocus);
        storage->hide();
    }
    Picture2 = Place(new QLabel(PictureForm), "Picture2", QRect());
    Picture2->hide();
}
