#include "intake/configuration.h"

#include "intake/whole_file.h"

#include <QDir>

namespace {

QString TrimSpaces(QString text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && (text[first] == u' ' || text[first] == u'\t')) ++first;
    while (last > first && (text[last - 1] == u' ' || text[last - 1] == u'\t')) --last;
    return text.mid(first, last - first);
}

QString ServerLabel(const Configuration& configuration) {
    const QString port = configuration.serverPort ? QString::number(*configuration.serverPort) : QString();
    return u'[' + configuration.serverHost + u':' + port + u']';
}

// Applies one "KEY = value" line; returns an error text when the value cannot be used.
QString ApplyLine(Configuration& configuration, const QString& key, const QString& value) {
    if (key == u"IMAGE_PATH") {
        configuration.imagePath = value;
    } else if (key == u"TCP_SERVER") {
        configuration.serverHost = value.toUpper();
        configuration.serverLabel = ServerLabel(configuration);
    } else if (key == u"TCP_PORT") {
        bool isNumber = false;
        const int port = value.toInt(&isNumber, 10);
        if (!isNumber || port < 1 || port > 65535)
            return QStringLiteral("TCP_PORT \"%1\" is not a port number (1 to 65535)").arg(value);
        configuration.serverPort = port;
        configuration.serverLabel = ServerLabel(configuration);
    } else if (key == u"SCREENSHOT") {
        configuration.screenshotButton = value.toUpper() == u"YES";
    }
    return {};
}

}  // namespace

ConfigurationResult ParseConfiguration(std::string_view text, const QString& programFolder) {
    Configuration configuration;
    configuration.imagePath = programFolder + u'/';

    const QStringList lines = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).split(u'\n');
    for (qsizetype number = 0; number < lines.size(); ++number) {
        QString line = lines[number];
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) continue;

        const QString key = TrimSpaces(line.left(equals)).toUpper();
        const QString error = ApplyLine(configuration, key, TrimSpaces(line.mid(equals + 1)));
        if (!error.isEmpty())
            return {std::nullopt, QStringLiteral("%1, line %2: %3").arg(kConfigurationFileName).arg(number + 1).arg(error)};
    }
    return {configuration, {}};
}

ConfigurationResult ReadConfiguration(const QString& programFolder) {
    const QString path = QDir(programFolder).filePath(kConfigurationFileName);
    const WholeFile file = ReadWholeFile(path);
    if (!file.read) return {std::nullopt, QStringLiteral("%1 cannot be read: %2").arg(path, file.error)};
    return ParseConfiguration(ByteView(file.bytes), programFolder);
}
