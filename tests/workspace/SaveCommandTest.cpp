// File / "Save Photo" / "as Bmp" and "as Jpg", driven through the main window with scripted
// dialogs.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

#include <gtest/gtest.h>
#include <unistd.h>

#include "bmptojpeg/BmpToJpeg.h"
#include "FullDisk.h"
#include "workspace/Main.h"
#include "platform/files/PhotoSave.h"
#include "platform/widgets/PictureSurface.h"
#include "SaveTestSupport.h"
#include "ScriptedDialogs.h"
#include "TestPictures.h"

namespace {

struct Kind {
    int index;
    const char* description;
    const char* pattern;
};

void PrintTo(const Kind& kind, std::ostream* out) {
    *out << kind.pattern;
}

class SaveCommand : public ::testing::Test {
  protected:
    void SetUp() override { window.passportPhoto() = portraitPicture(); }
    void TearDown() override {
        const QString leftover =
            QDir(QCoreApplication::applicationDirPath()).filePath("mydummy.bmp");
        EXPECT_FALSE(QFileInfo::exists(leftover));
    }

    // Answers the save dialog with `name` in the test folder and runs the command in `target`.
    QString save(Main& target, int index, const QString& name) {
        const QString path = name.startsWith('/') ? name : dir.filePath(name);
        dialogs.saveAnswers.push_back(path);
        target.onFileSaveAs(index);
        return path;
    }
    QString save(int index, const QString& name) { return save(window, index, name); }

    // A window whose saving goes through `services`, holding the same photo.
    std::unique_ptr<Main> windowSavingThrough(const SaveServices& services) {
        auto other = std::make_unique<Main>(MainServices{&dialogs, services});
        other->passportPhoto() = window.passportPhoto();
        return other;
    }

    ScriptedDialogs dialogs;
    Main window{MainServices{&dialogs}};
    QTemporaryDir dir;
};

class EachKind : public SaveCommand, public ::testing::WithParamInterface<Kind> {};

}  // namespace

TEST_P(EachKind, CancelWritesAndShowsNothing) {
    window.onFileSaveAs(GetParam().index);
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].description, GetParam().description);
    EXPECT_EQ(dialogs.saveRequests[0].patterns, QStringList{GetParam().pattern});
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(namesIn(dir.path()).isEmpty());
}

TEST_P(EachKind, NamesAreUsedExactlyAsChosen) {
    // The last two come close to the file system's limit of 255 bytes a name: 250 bytes, and
    // 83 CJK characters of three bytes each.
    const QString names[] = {"foto", "pasfoto ë 日本.x", QString(248, 'n') + ".x",
                             QString(83, QChar(0x65E5))};
    for (const QString& name : names) {
        const QString path = save(GetParam().index, name);
        const QImage saved(path);
        EXPECT_EQ(saved.size(), QSize(127, 163)) << name.toStdString();
        EXPECT_EQ(saved.dotsPerMeterX(), 3622);
        QFile::remove(path);
    }
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join("; ").toStdString();
    EXPECT_TRUE(namesIn(dir.path()).isEmpty());
}

TEST_P(EachKind, UnwritablePlaceShowsWhereAndWritesNothing) {
    writeAll(dir.filePath("file.txt"), "x");
    QStringList names = {"/proc/foto.x", "gone/foto.x", "file.txt/foto.x"};
    // A write-protected folder stops everyone but the administrator.
    QDir(dir.path()).mkdir("locked");
    QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
    if (geteuid() != 0) names << "locked/foto.x";
    for (const QString& name : names) {
        dialogs.messages.clear();
        const QString path = save(GetParam().index, name);
        ASSERT_EQ(dialogs.messages.size(), 1) << name.toStdString();
        EXPECT_TRUE(dialogs.messages[0].startsWith("The photo was not saved to\n" + path + "\n"))
            << dialogs.messages[0].toStdString();
        EXPECT_FALSE(QFileInfo::exists(path));
    }
    EXPECT_EQ(namesIn(dir.path()), (QSet<QString>{"file.txt", "locked"}));
}

TEST_P(EachKind, FullDiskKeepsTheOldFile) {
    const QString path = dir.filePath("foto.x");
    writeAll(path, QByteArray(3000, 'o'));
    {
        // No file may grow past 4 KB: the temporary BMP and the photo itself cannot be written.
        FileSizeLimit limit(4096);
        save(GetParam().index, path);
    }
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(readAll(path), QByteArray(3000, 'o'));
    EXPECT_EQ(namesIn(dir.path()), QSet<QString>{"foto.x"});
}

// A real disk that fills up: the temporary BMP fits beside the program, the photo does not.
TEST_P(EachKind, SmallDiskKeepsTheOldFile) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("disk"));
    SmallDisk disk(dir.filePath("disk").toStdString(), 64);
    if (!disk.mounted()) GTEST_SKIP() << "no permission to mount a small disk";
    const QString path = dir.filePath("disk/foto.x");
    writeAll(path, QByteArray(3000, 'o'));
    ASSERT_TRUE(disk.leaveFree(4096));
    save(GetParam().index, path);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith("The photo was not saved to\n" + path));
    EXPECT_EQ(readAll(path), QByteArray(3000, 'o'));
    EXPECT_EQ(namesIn(dir.filePath("disk")), (QSet<QString>{"foto.x", "filler"}));
}

INSTANTIATE_TEST_SUITE_P(Menu, EachKind,
                         ::testing::Values(Kind{1, "Bitmap (*.bmp)", "*.bmp"},
                                           Kind{2, "Jpg format (*.jpg)", "*.jpg"}),
                         [](const auto& info) { return std::string(info.param.pattern + 2); });

TEST_F(SaveCommand, OtherIndicesDoNothing) {
    for (int index : {-1, 0, 3}) window.onFileSaveAs(index);
    EXPECT_TRUE(dialogs.saveRequests.empty());
}

TEST_F(SaveCommand, BmpIsThePhotoPixelForPixel) {
    const QString path = save(1, "foto.bmp");
    const QByteArray bytes = readAll(path);
    ASSERT_GT(bytes.size(), 54);
    EXPECT_EQ(quint8(bytes[28]), 24) << "bits per pixel";
    EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), window.passportPhoto());
    EXPECT_EQ(loadWithTurboJpeg(path), window.passportPhoto());
}

// The guides are drawn over the photo on screen, never into it.
TEST_F(SaveCommand, GuidesAreNeverSaved) {
    window.onKnop2();
    window.onKnop4();
    const QImage onScreen = window.Orgineel->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString path = save(1, "foto.bmp");
    const QImage saved = QImage(path).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(saved, window.passportPhoto());
    if (onScreen.size() == saved.size()) {
        EXPECT_NE(onScreen, saved) << "the guides did not show on screen";
    }
}

TEST_F(SaveCommand, SavedPhotoCarriesBorderAndFlip) {
    window.passportPhoto() = codedPicture(127, 163);
    window.onEditBorder();
    window.onFlipConvert(0);
    const QImage edited = window.passportPhoto();
    for (int index : {1, 2}) {
        const QImage saved(save(index, QStringLiteral("foto%1").arg(index)));
        ASSERT_EQ(saved.size(), QSize(127, 163));
        EXPECT_LT(meanAbsoluteError(saved, edited).red, index == 1 ? 0.0001 : 1.5);
        for (QPoint corner : {QPoint(0, 0), QPoint(126, 0), QPoint(0, 162), QPoint(126, 162)}) {
            EXPECT_LE(qGray(saved.pixel(corner)), index == 1 ? 0 : 12) << "no black border";
        }
    }
}

TEST_F(SaveCommand, NotJpgMessageWhenTheTemporaryFileIsMissing) {
    // A write that claims success but leaves no file behind.
    SaveServices services;
    services.writeFile = [](const QString& p, const QByteArray&, QString*) {
        QFile::remove(p);
        return true;
    };
    const QString path = save(*windowSavingThrough(services), 2, "foto.jpg");
    EXPECT_EQ(dialogs.messages, QStringList{"File save not as JPG!"});
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(SaveCommand, EncoderFailureIsReported) {
    SaveServices services;
    services.bmpToJpeg = [](const char*, const char*, int) {
        return int(BMPTOJPEG_ENCODE_ERROR);
    };
    const QString path = save(*windowSavingThrough(services), 2, "foto.jpg");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(path));
    EXPECT_TRUE(dialogs.messages[0].endsWith("the JPEG encoder failed"));
    EXPECT_FALSE(QFileInfo::exists(path));
}
