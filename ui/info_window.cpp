#include "ui/info_window.h"

#include "ui/satellite_picture.h"
#include "ui/twips.h"

#include <QFrame>
#include <QLabel>

#include <algorithm>

namespace {

QLabel* AddLabel(QWidget* parent, const QString& text, const QRect& place) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(place);
    return label;
}

// Seven short lines in the left column, around the version frame.
void AddCredits(QWidget* window) {
    const struct {
        const char* text;
        int top;
    } credits[] = {
        {"The orca5 project contributors", 600},
        {"Free software, GPL version 3 or later", 840},
        {"Decoder for radio amateurs", 1080},
        {"Source code:", 2160},
        {"shipped with the program", 2365},
        {"Reports and ideas:", 2570},
        {"the project's issue tracker", 2775},
    };
    for (const auto& credit : credits) {
        QLabel* label = AddLabel(window, credit.text, TwipsRect(120, credit.top, 4575, 205));
        // tall enough for the font's descenders: the design's height cuts "g" and "j"
        label->resize(label->width(), std::max(label->height(), label->fontMetrics().height()));
    }
}

}  // namespace

QString VersionLine(const BuildVariant& variant) {
    return QStringLiteral("Version %1    (%2)")
        .arg(QString::fromLatin1(variant.versionNumber), QString::fromLatin1(variant.buildDate));
}

Info::Info(const BuildVariant& variant, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName("Info");
    setWindowTitle("Info");
    setFixedSize(TwipsSize(7845, 4740));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    QLabel* title = AddLabel(this, "ORCA-5 Telemetry Decoder", TwipsRect(120, 120, 3855, 375));
    QFont titleFont = title->font();
    titleFont.setPixelSize(18);  // 13.5 pt
    title->setFont(titleFont);

    AddCredits(this);

    auto* versionFrame = new QFrame(this);
    versionFrame->setFrameShape(QFrame::Box);
    versionFrame->setGeometry(TwipsRect(120, 1440, 3495, 615));
    Label2 = AddLabel(versionFrame, QString(), TwipsRect(120, 240, 3135, 255));
    Label2->setAlignment(Qt::AlignCenter);

    Label11 = AddLabel(this, QString(), TwipsRect(120, 3120, 7575, 1455));
    Label11->setWordWrap(true);
    Label11->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    Label11->setStyleSheet("color: rgb(128, 128, 128)");
    QFont licenceFont("Arial");
    licenceFont.setPixelSize(11);  // 8.25 pt
    Label11->setFont(licenceFont);

    QLabel* image1 = AddLabel(this, QString(), TwipsRect(4800, 0, 3000, 3015));
    image1->setPixmap(SatellitePicture(QSize(200, 201)));
    image1->setAccessibleName("ORCA-5 satellite picture");

    Form_Load(variant);
}

void Info::Form_Load(const BuildVariant& variant) {
    Label2->setText(VersionLine(variant));
    Label11->setText(QString::fromLatin1(kLicenceText));
}
