// orca5-decode: the decoder without a window and without its 10000-packet store. It decodes
// capture files and SatNOGS exports into rows (CSV, JSON lines, InfluxDB's line protocol),
// records a KISS server as a station without a display, and keeps frames in the mission
// archive or takes them out of it.
#include "decoding.h"
#include "options.h"
#include "output.h"
#include "telemetry/value_text.h"
#include "telemetry/version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(application.arguments())) return UsageError(parser.errorText());
    if (parser.isSet("help")) return Print(stdout, kHelp), 0;
    if (parser.isSet("version")) return Print(stdout, QStringLiteral("%1 %2\n").arg(kProgram, kLibraryVersion)), 0;

    const QList<QByteArray> inputs = InputNames(parser.positionalArguments(), argc, argv);
    if (const QString problem = UsageProblem(parser, inputs); !problem.isEmpty()) return UsageError(problem);
    Configuration configuration;
    QString confFolder = QDir::currentPath();
    if (parser.isSet("conf")) {
        confFolder = QFileInfo(parser.value("conf")).absolutePath();
        const ConfigurationResult read = ReadConfigurationFile(parser.value("conf"), QDir::currentPath());
        if (!read.configuration) return UsageError(read.error);
        configuration = *read.configuration;
    }

    std::optional<Limits> limits;
    if (parser.isSet("limits")) {
        auto read = ReadLimitsFile(parser.value("limits"), parser.value("limit-set"));
        if (const auto* problem = std::get_if<QString>(&read)) return UsageError(*problem);
        limits = std::get<Limits>(std::move(read));
    }

    // millisecond time stamps are written in the default locale's date form: ISO 8601's
    // order is Swedish's, unless the user asks for their own
    const QLocale locale = parser.isSet("locale") ? QLocale::system() : QLocale(QLocale::Swedish, QLocale::Sweden);
    QLocale::setDefault(locale);
    const char decimalSeparator = parser.isSet("locale") ? DecimalSeparator(locale) : '.';

    Output output(stdout);
    if (const QString error = output.Open(parser.value("output")); !error.isEmpty()) return Failure(error);
    if (IsPassPrediction(parser)) return WritePassPredictions(parser, configuration, confFolder, output);
    if (IsArchiveQuery(parser, inputs)) return QueryArchive(parser, configuration, confFolder, limits, decimalSeparator, output);
    return DecodeInputs(parser, inputs, configuration, confFolder, limits, decimalSeparator, output);
}
