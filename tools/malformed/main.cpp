// Writes tests/data/malformed/ and fuzz/corpus/<target>/ under the folder given.
#include <cstdio>

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include "Builders.h"

QList<NamedFile> malformedFiles();
QList<NamedFile> loadSeeds();
QList<NamedFile> bmpToJpegSeeds();
QList<NamedFile> runFilterSeeds();

namespace {

// Writes the generated files into `folder`. Nothing else there is touched: the notes kept by
// hand and the inputs kept from fuzzing runs stay.
bool writeAll(const QString& folder, const QList<NamedFile>& files) {
    QDir dir(folder);
    if (!dir.mkpath(".")) return false;
    for (const NamedFile& file : files) {
        QFile out(dir.filePath(file.name));
        if (!out.open(QIODevice::WriteOnly) || out.write(file.bytes) != file.bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(out.fileName()));
            return false;
        }
    }
    std::printf("%s: %d files\n", qPrintable(folder), int(files.size()));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <repository folder>\n", argv[0]);
        return 2;
    }
    const QDir top(QString::fromLocal8Bit(argv[1]));
    const bool ok = writeAll(top.filePath("tests/data/malformed"), malformedFiles()) &&
                    writeAll(top.filePath("fuzz/corpus/fuzz_load"), loadSeeds()) &&
                    writeAll(top.filePath("fuzz/corpus/fuzz_bmptojpeg"), bmpToJpegSeeds()) &&
                    writeAll(top.filePath("fuzz/corpus/fuzz_runfilter"), runFilterSeeds());
    return ok ? 0 : 1;
}
