// Every picture of tests/data/malformed through File / "Load Photo": none crashes or hangs
// the window, those that cannot be read leave everything but the remembered path alone, and
// those that can be read show at the size listed in expectations.txt.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/widgets/AppCursor.h"
#include "MainFixture.h"

namespace {

struct Expectation {
    std::string file;
    bool loads = false;
    int width = 0, height = 0;
};

std::filesystem::path corpusFolder() {
    if (const char* top = std::getenv("PORTRIK_SOURCE_DIR"); top && *top) {
        return std::filesystem::path(top) / "tests/data/malformed";
    }
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "data/malformed";
}

// The lines of expectations.txt: "<file> refused ..." or "<file> loads <w>x<h> ...".
std::vector<Expectation> readExpectations() {
    std::vector<Expectation> list;
    std::ifstream in(corpusFolder() / "expectations.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        Expectation e;
        std::string outcome, size;
        if (!(words >> e.file) || e.file[0] == '#' || !(words >> outcome)) continue;
        e.loads = outcome == "loads";
        if (e.loads && words >> size) {
            char times = 0;
            std::istringstream(size) >> e.width >> times >> e.height;
        }
        list.push_back(e);
    }
    return list;
}

std::string testName(const ::testing::TestParamInfo<Expectation>& info) {
    std::string name = info.param.file;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

}  // namespace

TEST(MalformedCorpus, EveryFileHasItsExpectationAndEveryExpectationItsFile) {
    const std::vector<Expectation> list = readExpectations();
    ASSERT_GE(list.size(), 40u) << "expectations.txt missing or short in " << corpusFolder();
    std::set<std::string> listed;
    for (const Expectation& e : list) {
        EXPECT_TRUE(listed.insert(e.file).second) << e.file << " listed twice";
        EXPECT_TRUE(std::filesystem::is_regular_file(corpusFolder() / e.file)) << e.file;
        if (e.loads) {
            EXPECT_TRUE(e.width > 0 && e.height > 0) << e.file << ": size missing";
        }
    }
    for (const auto& entry : std::filesystem::directory_iterator(corpusFolder())) {
        const std::string name = entry.path().filename().string();
        if (name == "README.md" || name == "expectations.txt") continue;
        EXPECT_TRUE(listed.count(name)) << name << " has no line in expectations.txt";
    }
}

class MalformedCorpusTest : public MainFixture, public ::testing::WithParamInterface<Expectation> {
  protected:
    QString path() const {
        return QString::fromStdString((corpusFolder() / GetParam().file).string());
    }
};

TEST_P(MalformedCorpusTest, LoadsOrLeavesEverythingButTheFileName) {
    const Expectation& e = GetParam();
    // Once as the very first load, once over a photo loaded before.
    for (bool photoBefore : {false, true}) {
        SCOPED_TRACE(photoBefore ? "over a loaded photo" : "as the first load");
        window = std::make_unique<Main>(MainServices{&dialogs});
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
            continue;
        }
        EXPECT_TRUE(session().PhotoLoaded());
        EXPECT_EQ(backPic().size(), QSize(e.width, e.height));
        EXPECT_EQ(window->Filename->text(), path());
        EXPECT_EQ(window->checkedPercent(), 100);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, MalformedCorpusTest, ::testing::ValuesIn(readExpectations()),
                         testName);
