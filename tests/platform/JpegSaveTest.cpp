// The JPEG save: where the temporary "mydummy.bmp" goes, the check of its name, and that it
// is gone afterwards whatever happened.
#include <iostream>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "bmptojpeg/BmpToJpeg.h"
#include "platform/files/PhotoSave.h"
#include "SaveTestSupport.h"

namespace {

QString runtimeFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

class JpegSave : public ::testing::Test {
  protected:
    void TearDown() override {
        for (const QString& folder : {dir.path(), runtimeFolder()}) {
            EXPECT_FALSE(QFileInfo::exists(QDir(folder).filePath("mydummy.bmp")))
                << folder.toStdString();
        }
    }

    QTemporaryDir dir;
    QImage photo = portraitPicture();
};

}  // namespace

TEST(TemporaryBmp, GoesBesideTheProgramWhileThatFolderCanBeWritten) {
    QTemporaryDir dir;
    const QString beside = QDir(dir.path()).filePath("mydummy.bmp");
    const QString private_ = QDir(runtimeFolder()).filePath("mydummy.bmp");
    ASSERT_FALSE(runtimeFolder().isEmpty());
    const struct {
        QString programFolder, avoid, expected;
    } rows[] = {
        {dir.path(), {}, beside},
        // An installed program's folder only the administrator may write (or nobody at all).
        {QStringLiteral("/proc"), {}, private_},
        {dir.filePath("gone"), {}, private_},
        // The user saves the JPEG as that very file: the temporary one must not replace it.
        {dir.path(), beside, private_},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(temporaryBmpPath(row.programFolder, row.avoid), row.expected)
            << row.programFolder.toStdString();
    }
}

TEST(TemporaryBmp, FoundOnlyUnderItsExactName) {
    QTemporaryDir dir;
    const QString path = dir.filePath("mydummy.bmp");
    EXPECT_FALSE(temporaryFileFound(path));
    writeAll(dir.filePath("MyDummy.BMP"), "x");
    EXPECT_FALSE(temporaryFileFound(path));
    QDir(dir.path()).mkdir("mydummy.bmp");
    EXPECT_FALSE(temporaryFileFound(path)) << "a folder is not the file";
    QDir(dir.path()).rmdir("mydummy.bmp");
    writeAll(path, "x");
    EXPECT_TRUE(temporaryFileFound(path));
}

TEST_F(JpegSave, DecodesCloseToThePhotoAt92Dpi) {
    const QString path = dir.filePath("foto.jpg");
    SaveServices services;
    services.programFolder = dir.path();
    ASSERT_EQ(savePhotoAsJpeg(photo, path, nullptr, services), SaveResult::Saved);

    QImage saved(path);
    ASSERT_EQ(saved.size(), QSize(127, 163));
    EXPECT_EQ(saved.dotsPerMeterX(), 3622);
    EXPECT_EQ(saved.dotsPerMeterY(), 3622);
    const ChannelError e = meanAbsoluteError(saved, photo);
    std::cout << "JPEG mean absolute error per channel: R " << e.red << ", G " << e.green << ", B "
              << e.blue << "; file " << QFileInfo(path).size() << " bytes\n";
    EXPECT_LT(e.red, 1.5);
    EXPECT_LT(e.green, 1.5);
    EXPECT_LT(e.blue, 1.5);
    EXPECT_EQ(namesIn(dir.path()), QSet<QString>{"foto.jpg"});
}

TEST_F(JpegSave, InstalledProgramUsesThePrivateRuntimeFolder) {
    SaveServices services;
    services.programFolder = QStringLiteral("/proc");
    QString converted;
    services.bmpToJpeg = [&](const char* bmp, const char* jpeg, int quality) {
        converted = QFile::decodeName(bmp);
        EXPECT_TRUE(QFileInfo::exists(converted));
        EXPECT_EQ(quality, 100);
        return BmpToJpeg(bmp, jpeg, quality);
    };
    ASSERT_EQ(savePhotoAsJpeg(photo, dir.filePath("foto.jpg"), nullptr, services),
              SaveResult::Saved);
    EXPECT_EQ(converted, QDir(runtimeFolder()).filePath("mydummy.bmp"));
    EXPECT_EQ(QImage(dir.filePath("foto.jpg")).size(), QSize(127, 163));
}

TEST_F(JpegSave, SavingAsTheTemporaryNameKeepsTheJpeg) {
    const QString path = dir.filePath("mydummy.bmp");
    SaveServices services;
    services.programFolder = dir.path();
    ASSERT_EQ(savePhotoAsJpeg(photo, path, nullptr, services), SaveResult::Saved);
    EXPECT_EQ(readAll(path).left(3), QByteArray("\xFF\xD8\xFF"));
    QFile::remove(path);  // the user's own file, not a leftover
}

// Each way the JPEG save can go wrong: what it reports, and that nothing is at the path.
TEST_F(JpegSave, FailuresReportAndLeaveNoTemporaryFile) {
    const QString path = dir.filePath("foto.jpg");
    const struct {
        const char* name;
        SaveServices services;
        SaveResult result;
        QString reason;
    } rows[] = {
        {"temporary_not_written",
         {dir.path(),
          [](const QString&, const QByteArray&, QString* e) {
              *e = "full";
              return false;
          },
          {}},
         SaveResult::Failed,
         QStringLiteral("mydummy.bmp could not be written: full")},
        // A write that claims success but leaves no file is what the name check is for.
        {"temporary_not_found",
         {dir.path(),
          [](const QString& p, const QByteArray&, QString*) {
              QFile::remove(p);
              return true;
          },
          {}},
         SaveResult::NotJpegName,
         QString()},
        {"encoder_fails",
         {dir.path(),
          {},
          [](const char*, const char*, int) { return int(BMPTOJPEG_ENCODE_ERROR); }},
         SaveResult::Failed,
         QStringLiteral("the JPEG encoder failed")},
        {"jpeg_not_written",
         {dir.path(), {}, [](const char*, const char*, int) { return int(BMPTOJPEG_WRITE_ERROR); }},
         SaveResult::Failed,
         QStringLiteral("the JPEG file could not be written")},
    };
    for (const auto& row : rows) {
        // A leftover of an earlier run goes too.
        writeAll(dir.filePath("mydummy.bmp"), "stale");
        QString error;
        EXPECT_EQ(savePhotoAsJpeg(photo, path, &error, row.services), row.result)
            << row.name << ": " << error.toStdString();
        EXPECT_TRUE(error.endsWith(row.reason)) << row.name << ": " << error.toStdString();
        EXPECT_TRUE(namesIn(dir.path()).isEmpty()) << row.name;
    }
}
