#include "exports/tlm_report.h"

namespace {

constexpr int kNameWidth = 20;
constexpr int kValueWidth = 8;
constexpr int kUnitWidth = 4;
constexpr char kColumnSeparator[] = " |  ";

QString Column(const ShownChannel& channel) {
    return PadRight(channel.name, kNameWidth) + PadRight(channel.value, kValueWidth) +
           PadRight(channel.unit, kUnitWidth);
}

}  // namespace

QString PadRight(const QString& text, int width) { return text.leftJustified(width, u' ', false); }

std::string TlmReportText(const std::array<ShownChannel, kChannelCount>& table) {
    QString text = QString(kTlmBanner) + "\r\n" + QString(52, u'=') + "\r\n\r\n";
    for (std::size_t i = 0; i < table.size(); i += 2)
        text += Column(table[i]) + kColumnSeparator + Column(table[i + 1]) + "\r\n";
    return text.toLatin1().toStdString();
}
