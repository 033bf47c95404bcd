#include "intake/configuration.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

Configuration Parse(std::string_view text) {
    const ConfigurationResult result = ParseConfiguration(text, "/opt/orca5");
    EXPECT_TRUE(result.configuration) << result.error.toStdString();
    return result.configuration.value_or(Configuration{});
}

}  // namespace

TEST(Configuration, ReadsKeysInAnyCaseAroundSpaces) {
    const Configuration configuration = Parse("# comment\r\n\r\ntcp_server = abc\r\nTCP_PORT=8001\r\n");
    EXPECT_EQ(configuration.serverHost, "ABC");
    EXPECT_EQ(configuration.serverPort, 8001);
    EXPECT_EQ(configuration.serverLabel, "[ABC:8001]");
    EXPECT_EQ(configuration.imagePath, "/opt/orca5/") << "screenshots go to the program's folder by default";
    EXPECT_TRUE(configuration.screenshotButton);
}

TEST(Configuration, LabelShowsWhatIsConfiguredSoFar) {
    EXPECT_EQ(Parse("TCP_SERVER=abc\n").serverLabel, "[ABC:]");
    EXPECT_EQ(Parse("TCP_PORT=8001\n").serverLabel, "[:8001]");
    EXPECT_EQ(Parse("# nothing\n").serverLabel, "");
}

TEST(Configuration, ValuesKeepWhatFollowsTheFirstEqualsAndLaterLinesWin) {
    const Configuration configuration =
        Parse("TCP_SERVER = a=b\nTCP_PORT = 1\nTCP_PORT = 65535\nIMAGE_PATH = /Home/Me/Shots/ \n");
    EXPECT_EQ(configuration.serverHost, "A=B");
    EXPECT_EQ(configuration.serverPort, 65535);
    EXPECT_EQ(configuration.imagePath, "/Home/Me/Shots/") << "a path keeps its case";
    EXPECT_EQ(Parse("IMAGE_PATH=shot_\n").imagePath, "shot_") << "used as written, without a folder separator";
}

TEST(Configuration, ScreenshotButtonOnlyForYes) {
    EXPECT_TRUE(Parse("SCREENSHOT = yes\n").screenshotButton);
    EXPECT_TRUE(Parse("SCREENSHOT=YES\n").screenshotButton);
    EXPECT_FALSE(Parse("SCREENSHOT = NO\n").screenshotButton);
    EXPECT_FALSE(Parse("SCREENSHOT =\n").screenshotButton);
    EXPECT_TRUE(Parse("").screenshotButton) << "an empty file is a file without keys";
}

TEST(Configuration, CommentsOnlyAtTheStartOfALine) {
    EXPECT_EQ(Parse(" #TCP_SERVER=abc\n").serverHost, "") << "a key \" #TCP_SERVER\" is no key of ours";
    EXPECT_EQ(Parse(" # TCP_SERVER = x\nTCP_SERVER=y").serverHost, "Y") << "and a last line without a line break counts";
    EXPECT_EQ(Parse("   \nno equals sign\nTCP_SERVER=z\n").serverHost, "Z") << "lines without \"=\" are ignored";
}

TEST(Configuration, APortThatIsNoPortStopsStartUpNamingTheLine) {
    for (const char* port : {"0", "65536", "80a", "", "-1", "port"}) {
        const std::string text = "TCP_SERVER=abc\r\nTCP_PORT=" + std::string(port) + "\r\n";
        const ConfigurationResult result = ParseConfiguration(text, "/opt/orca5");
        EXPECT_FALSE(result.configuration) << port;
        EXPECT_TRUE(result.error.startsWith("conf.ini, line 2: TCP_PORT")) << result.error.toStdString();
    }
}

TEST(Configuration, ReadsTheFileAndNamesItWhenItCannot) {
    QTemporaryDir folder;
    const ConfigurationResult missing = ReadConfigurationFile(folder.filePath("conf.ini"), folder.path());
    EXPECT_FALSE(missing.configuration);
    EXPECT_TRUE(missing.error.contains(QDir(folder.path()).filePath("conf.ini"))) << missing.error.toStdString();

    QFile file(folder.filePath("conf.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("TCP_PORT = 8001\r\nCAPTURE_PATH = /srv/passes\r\n");
    file.close();
    const ConfigurationResult read = ReadConfigurationFile(folder.filePath("conf.ini"), folder.path());
    ASSERT_TRUE(read.configuration);
    EXPECT_EQ(read.configuration->serverPort, 8001);
    EXPECT_EQ(read.configuration->imagePath, folder.path() + "/");
    EXPECT_EQ(read.configuration->capturePath, "/srv/passes");
}

TEST(Configuration, ReconnectAndForwardingAreAskedFor) {
    EXPECT_FALSE(Parse("TCP_PORT=8001\n").reconnect);
    EXPECT_TRUE(Parse("reconnect = Yes\n").reconnect);
    EXPECT_FALSE(Parse("RECONNECT = 1\n").reconnect);
    EXPECT_FALSE(Parse("CALLSIGN = N0CALL\nLATITUDE = 1\nLONGITUDE = 2\nNORAD_ID = 3\n").sids) << "never without SIDS=YES";

    const Configuration station = Parse("SIDS = yes\nCALLSIGN = N0CALL\nLATITUDE = 48.85\nLONGITUDE = -59.34\nNORAD_ID = 99999\n");
    ASSERT_TRUE(station.sids) << station.sidsProblem.toStdString();
    EXPECT_EQ(station.sids->url, QUrl("https://db.satnogs.org/api/telemetry/"));
    EXPECT_EQ(station.sids->longitude, -59.34);
    EXPECT_EQ(station.sids->noradId, 99999);
    EXPECT_TRUE(station.sidsProblem.isEmpty());

    const std::pair<const char*, const char*> problems[] = {
        {"LATITUDE = 95\n", "LATITUDE \"95\""},
        {"LONGITUDE = west\n", "LONGITUDE \"west\""},
        {"NORAD_ID = -4\n", "NORAD_ID \"-4\""},
        {"SIDS_URL = ftp://example.org/\n", "SIDS_URL \"ftp://example.org/\""},
        {"CALLSIGN =\n", "no CALLSIGN"},
    };
    for (const auto& [line, problem] : problems) {
        const Configuration off = Parse(std::string("SIDS=YES\nCALLSIGN=N0CALL\nLATITUDE=1\nLONGITUDE=2\nNORAD_ID=3\n") + line);
        EXPECT_FALSE(off.sids) << line;
        EXPECT_TRUE(off.sidsProblem.startsWith(QString("SiDS forwarding is off: ") + problem)) << off.sidsProblem.toStdString();
    }
}

TEST(Configuration, TheStationsPlaceForTheOrbitWithoutForwarding) {
    const Configuration placed = Parse("TLE = orca5.tle\nALTITUDE = 520\nLATITUDE = 48.1\nLONGITUDE = -11.6\n");
    EXPECT_EQ(placed.tle, "orca5.tle");
    ASSERT_TRUE(placed.place);
    EXPECT_EQ(placed.place->latitudeDeg, 48.1);
    EXPECT_EQ(placed.place->longitudeDeg, -11.6);
    EXPECT_EQ(placed.place->altitudeM, 520);
    EXPECT_FALSE(placed.sids) << "a place forwards nothing";
    EXPECT_EQ(Parse("LATITUDE = 48.1\n").place.has_value(), false) << "half a place is none";
    EXPECT_EQ(Parse("LATITUDE = 95\nLONGITUDE = 11\n").place.has_value(), false);
    EXPECT_EQ(Parse("LATITUDE = 48\nLONGITUDE = 11\n").place->altitudeM, 0);
    const ConfigurationResult wrong = ParseConfiguration("LATITUDE = 48\nALTITUDE = high\n", "/opt/orca5");
    EXPECT_EQ(wrong.error, "conf.ini, line 2: ALTITUDE \"high\" is not a height in metres");
    // as --station-at takes it
    EXPECT_EQ(StationPlaceOf("48.1,11.6,520")->altitudeM, 520);
    EXPECT_EQ(StationPlaceOf(" -33.9 , 151.2 ")->longitudeDeg, 151.2);
    for (const char* text : {"48.1", "48,11,5,1", "91,11", "48,181", "48,east", "48,11,up"}) EXPECT_FALSE(StationPlaceOf(text)) << text;
}
