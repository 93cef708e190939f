// Every picture of tests/data/malformed through File / "Load Photo": none crashes or hangs the
// window; one that cannot be read gets one message naming the file and the reason listed in
// expectations.txt, and leaves everything but the remembered path alone; one that can be read
// shows at the size listed there. (Which file decodes to what is checked below the window, in
// tests/platform.)
#include "MainFixture.h"
#include "MalformedCorpus.h"
#include "platform/widgets/AppCursor.h"

namespace {

class MalformedCorpusTest : public MainFixture, public ::testing::WithParamInterface<CorpusFile> {
  protected:
    QString path() const {
        return QString::fromStdString((malformedFolder() / GetParam().file).string());
    }
};

TEST_P(MalformedCorpusTest, LoadsOrSaysWhyAndLeavesEverythingButTheFileName) {
    const CorpusFile& e = GetParam();
    // Once as the very first load, once over a photo loaded before.
    for (bool photoBefore : {false, true}) {
        SCOPED_TRACE(photoBefore ? "over a loaded photo" : "as the first load");
        window = std::make_unique<Main>(MainServices{&dialogs});
        dialogs.messages.clear();
        if (photoBefore) {
            loadPicture(codedPicture(640, 480));
            ASSERT_TRUE(session().PhotoLoaded());
        }
        const WindowState before(*window);
        load(path());
        EXPECT_EQ(photoFileName(), path());
        EXPECT_EQ(AppCursor::current(), AppCursor::Shape::Arrow);
        if (!e.loads) {
            WindowState(*window).expectSame(before);
            EXPECT_EQ(dialogs.messages,
                      QStringList{"The file\n" + path() + "\n" +
                                  QString::fromStdString(reasonInWords(e)) + "."});
            continue;
        }
        EXPECT_TRUE(dialogs.messages.isEmpty());
        EXPECT_TRUE(session().PhotoLoaded());
        EXPECT_EQ(backPic().size(), QSize(e.width, e.height));
        EXPECT_EQ(window->Filename->text(), path());
        EXPECT_EQ(window->checkedPercent(), 100);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, MalformedCorpusTest, ::testing::ValuesIn(readMalformedCorpus()),
                         [](const auto& info) { return corpusTestName(info.param.file); });

}  // namespace
