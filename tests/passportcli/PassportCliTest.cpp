// portrik-passport: its exit status and message for each outcome, the three files it
// writes, and the real program run without a display.
#include <signal.h>

#include <algorithm>
#include <sstream>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include "PassportTestSupport.h"
#include "PrintTestSupport.h"
#include "passport/Check.h"
#include "passportcli/Batch.h"
#include "passportcli/PassportCommand.h"
#include "platform/files/PhotoFile.h"
#include "platform/files/PhotoPixels.h"
#include "sheets/CounterSheet.h"

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

Outcome run(const std::vector<std::string>& args, bool sharedModel = true,
           double memoryMegabytes = 0) {
    std::ostringstream out, err;
    passportcli::Services services;
    if (sharedModel) services.model = &faceModel();
    services.memoryMegabytes = memoryMegabytes;
    const int status = passportcli::runCommand(args, out, err, services);
    return {status, out.str(), err.str()};
}

std::string face(const char* name) {
    return qgetenv("PORTRIK_SOURCE_DIR").toStdString() + "/tests/data/faces/" + name;
}

std::string photo(const char* name) {
    return qgetenv("PORTRIK_SOURCE_DIR").toStdString() + "/tests/data/photos/" + name;
}

std::string writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    QFile file(dir.filePath(QString::fromLatin1(name)));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return file.fileName().toStdString();
}

TEST(PassportCommand, SaysWhatBecameOfEachPhotoWithItsExitStatus) {
    QTemporaryDir dir;
    QImage grey(800, 600, QImage::Format_RGB32);
    grey.fill(qRgb(128, 128, 128));
    const std::string greyPhoto = dir.filePath(QStringLiteral("grey.jpg")).toStdString();
    grey.save(QString::fromStdString(greyPhoto), "JPG");
    const std::string text = writeFile(dir, "notes.jpg", "not a photo at all");
    const std::string cut =
        writeFile(dir, "cut.jpg", QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10));
    const std::string good = face("plain-green-curly-hair.jpg");
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int status;
        const char* says;  // in the output when the status is 0, else in the errors
        bool sharedModel = true;
    };
    const Case cases[] = {
        {"no arguments", {}, 64, "which photo?"},
        {"an unknown option", {good, "--colour"}, 64, "unknown option --colour"},
        {"six rows", {good, "--pdf", "x.pdf", "--rows", "6"}, 64, "--rows takes 1 to 5, not 6"},
        {"two photos", {good, good}, 64, "one photo at a time"},
        {"help", {"--help"}, 0, "Usage: portrik-passport PHOTO"},
        {"no such file", {"/no/such/photo.jpg"}, 2, "cannot read the photo \"/no/such/photo.jpg\""},
        {"not a picture", {text}, 2, "not a JPEG, HEIC, PNG, WebP, TIFF, BMP or GIF photo"},
        {"a JPEG cut short", {cut}, 2, "is damaged or incomplete"},
        // Photos from phones: their colours converted, and said so.
        {"a HEIC in Display P3", {photo("display-p3-nclx.heic")}, 0,
         "colours: Display P3, converted to sRGB\n"},
        {"a damaged colour profile", {photo("damaged-profile.jpg")}, 0,
         "colours: the photo has a damaged colour profile: read as sRGB\n"},
        {"a PNG with see-through parts", {photo("transparent.png")}, 2, "has see-through parts"},
        {"no face", {greyPhoto}, 2, "no face found in"},
        // The larger face is framed; the other lies far outside its frame.
        {"two faces, one in the frame",
         {face("two-faces.jpg")},
         0,
         "faces: 2 in the photo, one in the frame\n"},
        {"rows without a sheet", {good, "--rows", "2"}, 64, "--rows needs --pdf FILE"},
        {"cut lines without a sheet", {good, "--cut-lines"}, 64, "--cut-lines needs --pdf FILE"},
        {"no model", {good, "--model", "/no/such/model.dat"}, 3, "package libdlib-data", false},
        {"an unwritable folder",
         {good, "--out", "/no/such/folder/photo.jpg"},
         4,
         "the photo \"/no/such/folder/photo.jpg\" could not be written"},
        // This face is narrow for its head: it is framed a little larger than 28 mm so that
        // it is 16.5 mm wide, half a millimetre inside its band.
        {"from 11 years", {good}, 0, "face width: 16.5 mm\n"},
        {"checked", {good, "--check"}, 1, "26–30 mm (from 11 years)"},
        {"checked, up to 10 years", {good, "--child", "--check"}, 1, "19–30 mm (up to 10 years)"},
        // Levelled, the eyes no longer fail; the man is turned 11 degrees from the camera.
        {"checked, what fails",
         {good, "--check"},
         1,
         "Fails: Whole photo, Resolution, Sharp, Background, Facing the camera."},
        {"checked, the advice",
         {good, "--check"},
         1,
         "\n  Facing the camera: Face the camera straight on"},
        {"checked, unlevelled",
         {good, "--check", "--no-level"},
         1,
         "Fails: Eyes level, Whole photo, Resolution, Sharp, Background, Facing the"},
        {"checked, levelled", {good}, 0, "\nlevelled: 4.0 degrees\n"},
    };
    for (const Case& c : cases) {
        const Outcome r = run(c.args, c.sharedModel);
        EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.err;
        const std::string& where = c.status == 0 || c.status == 1 ? r.out : r.err;
        EXPECT_NE(where.find(c.says), std::string::npos) << c.what << ":\n" << where;
        if (c.status != 0 && c.status != 1 && c.status != 4) {
            EXPECT_EQ(r.out, "") << c.what;
        }
    }
}

// The places the sheet library gives the photos of `options`, in twips.
std::vector<QRect> photoPlaces(const sheets::CounterSheetOptions& options) {
    struct Recorder : sheets::SheetCanvas {
        std::vector<QRect> photos;
        void drawPicture(sheets::Picture, int x, int y, int w, int h) override {
            photos.emplace_back(x, y, w, h);
        }
        void drawLine(int, int, int, int, sheets::Rgb) override {}
        void setFont(const std::string&, bool, int) override {}
        void setTextColour(sheets::Rgb) override {}
        void drawText(int, int, const std::string&) override {}
        void endPage() override {}
    } recorder;
    sheets::drawCounterSheet(options, recorder);
    return recorder.photos;
}

// Where, going from `from` in steps of `step` pixels, the page stops being paper.
int firstInk(const QImage& page, QPoint from, QPoint step) {
    for (QPoint p = from; page.rect().contains(p); p += step) {
        const QRgb c = page.pixel(p);
        if (qRed(c) < 200 || qGreen(c) < 200 || qBlue(c) < 200) return step.x() ? p.x() : p.y();
    }
    return -1;
}

std::array<int, 3> jpegFacts(const std::string& path) {
    QFile file(QString::fromStdString(path));
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    tjhandle tj = tjInitDecompress();
    int width = 0, height = 0, sub = 0, space = 0;
    tjDecompressHeader3(tj, reinterpret_cast<const unsigned char*>(bytes.constData()),
                        static_cast<unsigned long>(bytes.size()), &width, &height, &sub, &space);
    tjDestroy(tj);
    const int dpi = bytes.size() > 17 ? uchar(bytes[14]) << 8 | uchar(bytes[15]) : -1;
    return {width, height, dpi};
}

// The command line measures what the window measures: the loaded photo through the levelled
// crop, with the face's landmarks, not the 600 dpi photo (whose figures differ by a few per
// cent, so the same framing once read "Sharp" 175 in the window and 161 here).
TEST(PassportCommand, ChecksTheSamePixelsAsTheWindow) {
    for (const char* name : {"plain-green-curly-hair.jpg", "plain-grey-short-hair.jpg"}) {
        SCOPED_TRACE(name);
        const Outcome r = run({face(name), "--check"});
        const QImage photo = loadPhoto(QString::fromStdString(face(name)), Qt::white);
        ASSERT_FALSE(photo.isNull());
        const raster::ConstPixels pixels = constPixelsOf(photo);
        const passport::FoundFace found = faceModel().find(pixels).faces.at(0);
        passport::CheckInput input;
        input.faces = passport::FaceCount::One;
        input.marks = found.marks;
        input.crop =
            passport::frameHead(found.marks, passport::AgeGroup::From11, passport::Levelling::On);
        input.photo = pixels;
        input.landmarks = &found.landmarks;
        for (const passport::CriterionCheck& c : passport::checkPhoto(input)) {
            if (c.criterion != passport::Criterion::Sharp &&
                c.criterion != passport::Criterion::Background &&
                c.criterion != passport::Criterion::FacingCamera)
                continue;
            // The figures lead; a line too long for 80 columns is cut after them.
            EXPECT_NE(
                r.out.find(passport::criterionName(c.criterion) + ": " + c.measured.substr(0, 17)),
                std::string::npos)
                << c.measured << "\n"
                << r.out;
        }
    }
}

TEST(PassportCommand, WritesThePhotoTheLabSheetAndTheA4Sheet) {
    QTemporaryDir dir;
    // The green photo with its edges repeated outwards, so the frame stays inside it and the
    // photos on the sheet have no white band.
    const TestPhoto wide = padded(facePhoto("plain-green-curly-hair.jpg"), 150, 150);
    const QImage image(reinterpret_cast<const uchar*>(wide.pixels.data()), wide.width, wide.height,
                       QImage::Format_RGB32);
    const QString photo = dir.filePath(QStringLiteral("green.jpg"));
    ASSERT_TRUE(image.save(photo, "JPG", 95));
    const std::string out = dir.filePath(QStringLiteral("photo.jpg")).toStdString();
    const std::string lab = dir.filePath(QStringLiteral("lab.jpg")).toStdString();
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    const Outcome r = run({photo.toStdString(), "--out", out, "--lab-sheet=" + lab, "--pdf",
                           pdf.toStdString(), "--rows", "2", "--cut-lines"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("filled: none\n"), std::string::npos) << r.out;
    EXPECT_EQ(jpegFacts(out), (std::array<int, 3>{827, 1063, 600}));
    EXPECT_EQ(jpegFacts(lab), (std::array<int, 3>{3543, 2362, 600}));

    const PdfFacts facts = pdfFacts(pdf);
    EXPECT_EQ(facts.pages, 1);
    EXPECT_NEAR(facts.widthPoints, 595.3, 0.5);
    EXPECT_NEAR(facts.heightPoints, 841.9, 0.5);
    constexpr int kDpi = 254;  // ten pixels to the millimetre
    const QImage page = rasterisePdf(pdf, kDpi);
    const std::vector<QRect> places = photoPlaces({2, true});
    ASSERT_EQ(places.size(), 10u);
    auto px = [](double twips) { return int(std::lround(twips / 1440 * kDpi)); };
    for (const QRect& t : places) {
        SCOPED_TRACE("photo at " + std::to_string(t.x()) + ", " + std::to_string(t.y()));
        const int left = px(t.left()), top = px(t.top());
        const int right = px(t.x() + t.width()), bottom = px(t.y() + t.height());
        const int rowY = top + (bottom - top) / 10, columnX = left + (right - left) / 10;
        // Within 0.3 mm of each edge, looking in from 1.5 mm outside it.
        EXPECT_NEAR(firstInk(page, {left - 15, rowY}, {1, 0}), left, 3);
        EXPECT_NEAR(firstInk(page, {right + 15, rowY}, {-1, 0}), right - 1, 3);
        EXPECT_NEAR(firstInk(page, {columnX, top - 15}, {0, 1}), top, 3);
        EXPECT_NEAR(firstInk(page, {columnX, bottom + 15}, {0, -1}), bottom - 1, 3);
    }
    // The 600 dpi photo itself, stored once, not the 127 x 163 one.
    QProcess images;
    images.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    images.waitForFinished();
    const QString list = QString::fromLatin1(images.readAllStandardOutput());
    // Placed at exactly 35 x 45 mm by the PDF's own coordinates: 827 x 1063 pixels there are
    // 600 pixels to the inch both ways (the 2006 layouts' 2005 x 2585 twips would give 594 and
    // 592).
    const QRegularExpressionMatch placed =
        QRegularExpression(
            QStringLiteral("image\\s+827\\s+1063\\s+rgb(?:\\s+\\S+){6}\\s+(\\d+)\\s+(\\d+)"))
            .match(list);
    ASSERT_TRUE(placed.hasMatch()) << list.toStdString();
    EXPECT_EQ(placed.captured(1), QStringLiteral("600")) << list.toStdString();
    EXPECT_EQ(placed.captured(2), QStringLiteral("600")) << list.toStdString();
    EXPECT_EQ(distinctPdfImages(pdf), 1);
}

// The real program: no display, Qt's notices kept out of the errors, the status passed on,
// and on a Dutch machine figures with a decimal point, as the check writes them.
TEST(PassportProgram, RunsWithoutADisplay) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"}) {
        environment.remove(QString::fromLatin1(name));
    }
    QTemporaryDir locales;
    QProcessEnvironment dutch = environment;
    dutch.insert(QStringLiteral("LOCPATH"), locales.path());
    dutch.insert(QStringLiteral("LC_ALL"), QStringLiteral("nl_NL.UTF-8"));
    const bool dutchMade =
        QProcess::execute(QStringLiteral("localedef"),
                          {"-i", "nl_NL", "-f", "UTF-8", locales.filePath("nl_NL.UTF-8")}) == 0;
    EXPECT_TRUE(dutchMade) << "localedef and the locales package make a Dutch locale";
    struct Case {
        QStringList args;
        int status;
        const char* says;
        bool inDutch = false;
    };
    const QString bald = QString::fromStdString(face("plain-white-bald.jpg"));
    const Case cases[] = {
        {{bald}, 0, "crown: found in the photo\n"},
        {{}, 64, "which photo?"},
        {{bald}, 0, "head height: 28.1 mm\n", dutchMade},
    };
    for (const Case& c : cases) {
        QProcess program;
        program.setProcessEnvironment(c.inDutch ? dutch : environment);
        program.start(QStringLiteral(PORTRIK_PASSPORT_PROGRAM), c.args);
        ASSERT_TRUE(program.waitForFinished(60000));
        EXPECT_EQ(program.exitCode(), c.status);
        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        const QString err = QString::fromUtf8(program.readAllStandardError());
        EXPECT_TRUE((c.status ? err : out).contains(QLatin1String(c.says))) << err.toStdString();
        if (c.status == 0) {
            EXPECT_EQ(err, QString());
        }
    }
}

}  // namespace

// The model file can be named in the environment, for the window and the command line alike;
// --model comes before it.
TEST(PassportCommand, TakesTheModelFileFromTheEnvironment) {
    qputenv(passport::kFaceModelVariable, "/no/such/env-model.dat");
    const Outcome fromEnvironment = run({face("plain-green-curly-hair.jpg")}, false);
    const Outcome fromOption =
        run({face("plain-green-curly-hair.jpg"), "--model", "/no/such/option-model.dat"}, false);
    qunsetenv(passport::kFaceModelVariable);
    EXPECT_EQ(fromEnvironment.status, 3);
    EXPECT_NE(fromEnvironment.err.find("/no/such/env-model.dat"), std::string::npos)
        << fromEnvironment.err;
    EXPECT_EQ(fromOption.status, 3);
    EXPECT_NE(fromOption.err.find("/no/such/option-model.dat"), std::string::npos)
        << fromOption.err;
}

// An output that could not be made (the encoder failed) or not written is said with its path
// and reason, and leaves no file; one that was is named.
TEST(PassportCommand, WritesEachOutputWholeOrSaysWhyNot) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        const char* what;
        std::string path;
        QByteArray bytes;
        std::string problem;
        bool written;
        std::string said;  // on out when written, on err otherwise
    };
    const std::string good = dir.filePath(QStringLiteral("anna.passport.jpg")).toStdString();
    const std::string unmade = dir.filePath(QStringLiteral("unmade.jpg")).toStdString();
    const Case cases[] = {
        {"written", good, QByteArray("\xff\xd8 whole"), "", true, "wrote the photo: " + good},
        {"the encoder failed", unmade, {}, "the JPEG encoder failed: no memory", false,
         "the photo \"" + unmade + "\" could not be written: the JPEG encoder failed: no memory"},
        {"no such folder", "/no/such/folder/a.jpg", QByteArray("bytes"), "", false,
         "the photo \"/no/such/folder/a.jpg\" could not be written"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::ostringstream out, err;
        EXPECT_EQ(passportcli::writeOutput(c.path, c.bytes, c.problem, "photo", out, err), c.written);
        EXPECT_NE((c.written ? out : err).str().find(c.said), std::string::npos)
            << out.str() << err.str();
        EXPECT_EQ((c.written ? err : out).str(), "");
        EXPECT_EQ(QFile::exists(QString::fromStdString(c.path)), c.written);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("anna.passport.jpg")})
        << "no temporary file is left behind";
}

// --- Many photos ---------------------------------------------------------------------------

namespace {

std::vector<QString> filesIn(const QString& folder) {
    const QStringList names =
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    return {names.begin(), names.end()};
}

bool copyTo(const std::string& from, const QString& to) {
    QDir().mkpath(QFileInfo(to).path());
    return QFile::copy(QString::fromStdString(from), to);
}

// The fields of one CSV line, quotes respected.
qsizetype csvFields(const QByteArray& line) {
    qsizetype fields = 1;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) ++fields;
    }
    return fields;
}

// A complete JPEG: its header reads and it ends with the end-of-image marker.
bool wholeJpeg(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    return bytes.endsWith("\xff\xd9") && jpegFacts(path.toStdString())[0] > 0;
}

}  // namespace

// The names a photo's files get: its own when free, else the next free NAME-N, never one a
// photo of the run or a file already in the folder has (also when they differ only in case).
TEST(PassportBatch, NamesEveryPhotosFilesApart) {
    QTemporaryDir out;
    writeFile(out, "x-3.pdf", "an earlier run's sheet");
    const std::vector<std::string> photos = {"a/x.jpg", "b/x.jpg", "x-2.png", "c/X.heic", "y.tif"};
    EXPECT_EQ(passportcli::outputNames(photos, out.path().toStdString()),
              (std::vector<std::string>{"x", "x-4", "x-2", "X-5", "y"}));
}

// A school's folder: good, faceless, unreadable and same-named photos, a file that is no photo
// and the files of an earlier run. Every photo is done once, each outcome reported, and no
// file is overwritten.
TEST(PassportBatch, FramesEveryPhotoAndReportsWhatBecameOfIt) {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("class"));
    const QString out = dir.filePath(QStringLiteral("out"));
    ASSERT_TRUE(copyTo(face("plain-white-bald.jpg"), in + "/anna.jpg"));
    ASSERT_TRUE(copyTo(face("smile-teeth.jpg"), in + "/bram.jpg"));
    ASSERT_TRUE(copyTo(face("plain-green-curly-hair.jpg"), in + "/later/anna.jpg"));
    QImage grey(800, 600, QImage::Format_RGB32);
    grey.fill(qRgb(128, 128, 128));
    ASSERT_TRUE(grey.save(in + "/wall.jpg", "JPG"));
    writeFile(dir, "class/cees.jpg", "not a photo at all");
    writeFile(dir, "class/notes.txt", "not a photo, and not taken for one");
    QDir().mkpath(out);
    writeFile(dir, "out/bram.passport.jpg", "an earlier run's photo");
    const std::string report = dir.filePath(QStringLiteral("report.json")).toStdString();

    const Outcome r = run({in.toStdString(), (in + "/later/anna.jpg").toStdString(),
                           (in + "/anna.jpg").toStdString(), "--out-dir", out.toStdString(),
                           "--lab-sheets", "--jobs", "2", "--report", report});
    // A photo unreadable or without a face (2) comes before a failed check (1).
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(filesIn(out),
              (std::vector<QString>{"anna-2.lab.jpg", "anna-2.passport.jpg", "anna.lab.jpg",
                                    "anna.passport.jpg", "bram-2.lab.jpg", "bram-2.passport.jpg",
                                    "bram.passport.jpg"}));
    for (const QString& name : filesIn(out)) {
        if (name != "bram.passport.jpg") EXPECT_TRUE(wholeJpeg(out + "/" + name)) << name.toStdString();
    }
    QFile earlier(out + "/bram.passport.jpg");
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "an earlier run's photo");

    QFile file(QString::fromStdString(report));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
    EXPECT_TRUE(json.value("complete").toBool());
    struct Row {
        const char* photo;
        const char* status;
        const char* files;  // space-separated
        const char* error;  // part of it
    };
    const Row rows[] = {
        {"/anna.jpg", "check failed", "anna.passport.jpg anna.lab.jpg", ""},
        {"/bram.jpg", "check failed", "bram-2.passport.jpg bram-2.lab.jpg", ""},
        {"/cees.jpg", "unreadable", "", "not a JPEG, HEIC, PNG, WebP, TIFF, BMP or GIF photo"},
        {"/wall.jpg", "no face", "", "no face found in"},
        {"/later/anna.jpg", "check failed", "anna-2.passport.jpg anna-2.lab.jpg", ""},
    };
    const QJsonArray photos = json.value("photos").toArray();
    ASSERT_EQ(photos.size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const QJsonObject p = photos[qsizetype(i)].toObject();
        const Row& row = rows[i];
        SCOPED_TRACE(row.photo);
        EXPECT_TRUE(p.value("photo").toString().endsWith(QLatin1String(row.photo)));
        EXPECT_EQ(p.value("status").toString(), QLatin1String(row.status));
        QStringList files;
        for (const QJsonValue& f : p.value("files").toArray()) files << f.toString();
        EXPECT_EQ(files.join(' '), QLatin1String(row.files));
        EXPECT_TRUE(p.value("error").toString().contains(QLatin1String(row.error)));
        const bool framed = std::string(row.files) != "";
        EXPECT_EQ(p.value("checks").toArray().size(), framed ? passport::kCriterionCount : 0);
        EXPECT_EQ(p.value("figures").isObject(), framed);
    }
    // The smiling face fails for its smile, with the advice; the figures are numbers.
    const QJsonObject bram = photos[1].toObject();
    EXPECT_GT(bram.value("figures").toObject().value("head_height_mm").toDouble(), 20);
    bool smileFails = false;
    for (const QJsonValue& c : bram.value("checks").toArray()) {
        const QJsonObject check = c.toObject();
        if (check.value("criterion").toString() == "mouth_closed") {
            smileFails = check.value("verdict").toString() == "fail" &&
                         !check.value("advice").toString().isEmpty();
        }
    }
    EXPECT_TRUE(smileFails);
    EXPECT_NE(r.err.find("[5/5]"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("5 photos: 3 check failed, 1 no face, 1 unreadable"), std::string::npos)
        << r.err;
}

// What the run ends with, and the command lines it refuses before starting.
TEST(PassportBatch, EndsWithTheWorstOutcomeOrRefusesTheCommandLine) {
    QTemporaryDir dir;
    const std::string good = face("plain-green-curly-hair.jpg");
    const std::string out = dir.filePath(QStringLiteral("out")).toStdString();
    const std::string aFile = writeFile(dir, "a-file", "not a folder");
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int status;
        const char* says;
        bool sharedModel = true;
        double memoryMegabytes = 0;
    };
    const Case cases[] = {
        {"a failed check", {good, "--out-dir", out, "--report", out + ".csv"}, 1, "1 check failed"},
        {"more jobs than the memory holds", {good, "--out-dir", out, "--jobs", "8"}, 1,
         "8 jobs at once would need about 2 GB of memory, more than this machine's 1 GB: 4 at once",
         true, 1024},
        {"no model", {good, "--out-dir", out, "--model", "/no/such/model.dat"}, 3,
         "package libdlib-data", false},
        {"no photos", {dir.path().toStdString() + "/empty", "--out-dir", out}, 2, "no photos"},
        {"an out folder that is a file", {good, "--out-dir", aFile}, 4, "cannot write into"},
        {"a report in no folder", {good, "--out-dir", out, "--report", "/no/such/r.csv"}, 4,
         "cannot write the report"},
        {"several photos", {good, good}, 64, "--out-dir DIR for many"},
        {"a folder", {dir.path().toStdString()}, 64, "is a folder: give --out-dir DIR"},
        {"one file for many", {good, "--out-dir", out, "--out", "x.jpg"}, 64, "--out names one file"},
        {"a report of no kind", {good, "--out-dir", out, "--report", "r.txt"}, 64,
         "FILE.csv or FILE.json"},
        {"no jobs", {good, "--out-dir", out, "--jobs", "0"}, 64, "--jobs takes 1 to 256"},
        {"jobs for one photo", {good, "--jobs", "2"}, 64, "--jobs needs --out-dir DIR"},
        {"rows without sheets", {good, "--out-dir", out, "--rows", "2"}, 64, "--rows needs --pdfs"},
    };
    QDir().mkpath(dir.filePath(QStringLiteral("empty")));
    for (const Case& c : cases) {
        const Outcome r = run(c.args, c.sharedModel, c.memoryMegabytes);
        EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.what << ":\n" << r.err;
    }
    // The CSV report of the first run: a header and one row.
    QFile csv(QString::fromStdString(out + ".csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().split('\n');
    ASSERT_EQ(lines.size(), 3);  // the last is empty
    EXPECT_TRUE(lines[0].startsWith("photo,status,error,files,head_height_mm,"));
    EXPECT_EQ(csvFields(lines[1]), csvFields(lines[0]));
    EXPECT_TRUE(lines[1].startsWith(QByteArray::fromStdString(good + ",check failed,,")));
}

// Ctrl-C in the middle of a run: the photos done keep their files and their rows, the photos
// being worked on leave nothing, and the program ends by the signal. The signal comes twice
// at once, as when a wrapper (timeout, a job runner) passes the terminal's on: still one stop.
TEST(PassportBatchProgram, StoppedByCtrlCKeepsWhatWasDoneWhole) {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in"));
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(copyTo(face("plain-white-bald.jpg"), in + QString("/pupil-%1.jpg").arg(i, 2, 10, QChar('0'))));
    const QString out = dir.filePath(QStringLiteral("out"));
    const QString report = dir.filePath(QStringLiteral("report.json"));
    QProcess program;
    program.setReadChannel(QProcess::StandardError);
    program.start(QStringLiteral(PORTRIK_PASSPORT_PROGRAM),
                  {in, "--out-dir", out, "--jobs", "2", "--pdfs", "--report", report});
    ASSERT_TRUE(program.waitForStarted());
    QByteArray err;
    while (!err.contains("[2/12]") && program.state() == QProcess::Running) {
        program.waitForReadyRead(60000);
        err += program.readAllStandardError();
    }
    ASSERT_EQ(program.state(), QProcess::Running) << err.toStdString();
    ::kill(pid_t(program.processId()), SIGINT);
    QThread::msleep(50);  // apart, or the two would arrive as one
    ::kill(pid_t(program.processId()), SIGINT);
    ASSERT_TRUE(program.waitForFinished(60000));
    err += program.readAllStandardError();
    EXPECT_EQ(program.exitStatus(), QProcess::CrashExit) << err.toStdString();
    EXPECT_EQ(program.exitCode(), SIGINT);
    EXPECT_TRUE(err.contains("stopped after")) << err.toStdString();

    QFile file(report);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
    EXPECT_FALSE(json.value("complete").toBool(true));
    const QJsonArray photos = json.value("photos").toArray();
    EXPECT_GE(photos.size(), 2);
    EXPECT_LT(photos.size(), 12);
    std::vector<QString> written;
    for (const QJsonValue& p : photos) {
        for (const QJsonValue& f : p.toObject().value("files").toArray()) written.push_back(f.toString());
    }
    std::sort(written.begin(), written.end());
    EXPECT_EQ(filesIn(out), written) << "no file the report does not name, no partial file";
    for (const QString& name : written) {
        QFile f(out + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        EXPECT_TRUE(name.endsWith(".pdf") ? bytes.trimmed().endsWith("%%EOF") : wholeJpeg(out + "/" + name))
            << name.toStdString();
    }
}
