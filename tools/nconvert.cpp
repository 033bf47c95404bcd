// A stand-in for the image converter the screenshot button starts, with the part of its
// command line the programs use:
//     nconvert -out png -colors 256 -quiet -D FILE...
// Each FILE is read and written beside itself as a PNG of at most 256 colours, under its
// name with the extension "png"; with -D the source goes once its PNG is written. It never
// asks anything, so -quiet changes nothing. Any converter with this command line will do.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStringList>

#include <cstdio>

namespace {

int Fail(const QString& message) {
    std::fprintf(stderr, "nconvert: %s\n", qPrintable(message));
    return 1;
}

QString PngName(const QString& source) {
    const QFileInfo info(source);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return info.dir().filePath((dot > 0 ? name.left(dot) : name) + ".png");
}

}  // namespace

int main(int argc, char** argv) {
    bool deleteSource = false;
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == "-out" && i + 1 < argc) {
            if (QString(argv[++i]).toLower() != "png") return Fail("only -out png is known here");
        } else if (argument == "-colors" && i + 1 < argc) {
            if (QString(argv[++i]).toInt() != 256) return Fail("only -colors 256 is known here");
        } else if (argument == "-quiet") {
        } else if (argument == "-D") {
            deleteSource = true;
        } else if (argument.startsWith('-')) {
            return Fail("unknown option " + argument);
        } else {
            files << argument;
        }
    }
    if (files.isEmpty()) return Fail("usage: nconvert -out png -colors 256 [-quiet] [-D] FILE...");

    int failures = 0;
    for (const QString& source : files) {
        const QImage image(source);
        const QString target = PngName(source);
        // more than 256 colours are dithered onto a fixed palette of 256
        const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither);
        if (image.isNull() || !indexed.save(target, "PNG")) {
            failures += Fail(source + " could not be converted to " + target);
            continue;
        }
        if (deleteSource && !QFile::remove(source)) failures += Fail(source + " could not be deleted");
    }
    return failures == 0 ? 0 : 1;
}
