// The frame every filter shares: what RunFilter leaves behind, the event points, a second
// command during a run, abandoning a run, and the properties that hold for any picture size.

#include <algorithm>
#include <cctype>
#include <string>
#include <tuple>

#include "FilterTestSupport.h"
#include "filters/EditMenu.h"

using namespace filtertest;
namespace Code = Filters::Code;

namespace {

struct MenuFilter {
    std::string name;
    int code;
    int parameter;
    int border;  // outermost rows and columns that must keep their bytes
    int (*events)(int height);
};

int everyRow(int h) {
    return h + 1;
}
int contrastRows(int h) {
    return h + 2;
}
int innerRows(int h) {
    return std::max(h - 2, 0) + 1;
}
int aquarelRows(int h) {
    return std::max(h - 4, 0) + 1;
}
int scatteredRows(int h) {
    return h + 3;
}

// A test name from a caption: letters and digits only ("Reliëf" -> "Relief").
std::string nameOf(const char* caption) {
    std::string name;
    for (const char* c = caption; *c; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
        if (static_cast<unsigned char>(*c) == 0xAB) name += 'e';  // the second byte of "ë"
    }
    return name;
}

// Every Edit item that runs a filter, taken from the Edit menu's table, with what its filter
// leaves alone at the edges and how many event points it has.
std::vector<MenuFilter> menuFilters() {
    std::vector<MenuFilter> list;
    const char* parent = "";
    for (const Filters::EditItem& item : Filters::kEditMenu) {
        if (item.opens != Filters::EditSubmenu::None) parent = item.caption;
        if (item.code == 0) continue;
        const bool inSubmenu = item.in != Filters::EditSubmenu::None;
        MenuFilter filter{(inSubmenu ? nameOf(parent) : "") + nameOf(item.caption), item.code,
                          item.parameter, 0, everyRow};
        switch (item.code) {
            case Code::Sharpen:
            case Code::Relief:
            case Code::Blur:
            case Code::Edge:
            case Code::Contour:
                filter.border = 1;
                filter.events = innerRows;
                break;
            case Code::Aquarel:
                filter.border = 2;
                filter.events = aquarelRows;
                break;
            case Code::Contrast:
                filter.events = contrastRows;
                break;
            case Code::Scattered:
                filter.events = scatteredRows;
                break;
            default:
                break;
        }
        list.push_back(filter);
    }
    return list;
}

struct Size {
    int width;
    int height;
};

const Size kSizes[] = {{1, 1}, {1, 5}, {5, 1}, {2, 2},   {3, 3},    {4, 7},
                       {7, 4}, {5, 5}, {6, 6}, {17, 13}, {127, 163}};

void expectIdle() {
    EXPECT_FALSE(Filters::FilterBusy);
    EXPECT_EQ(Filters::PixelBuffer.size(), 16u);
    EXPECT_EQ(Filters::SourceBuffer.size(), 16u);
}

class EveryFilterEverySize : public testing::TestWithParam<std::tuple<MenuFilter, Size>> {};

TEST_P(EveryFilterEverySize, KeepsFourthByteAndBorderCountsEventsAndReleases) {
    const auto [filter, size] = GetParam();
    const Filters::MemoryBitmap before = noise(size.width, size.height, 7);
    Filters::MemoryBitmap after = before;
    EXPECT_EQ(runCounting(filter.code, after, filter.parameter), filter.events(size.height));
    expectIdle();
    EXPECT_EQ(Filters::PictureWidth, size.width);
    EXPECT_EQ(Filters::PictureHeight, size.height);
    const int b = filter.border;
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            ASSERT_EQ(after.at(3, x, y), before.at(3, x, y)) << x << "," << y;
            const bool onBorder = x < b || y < b || x >= size.width - b || y >= size.height - b;
            for (int c = 0; onBorder && c < 3; ++c) {
                ASSERT_EQ(after.at(c, x, y), before.at(c, x, y)) << x << "," << y;
            }
            if (filter.code == Code::Scattered) {
                ASSERT_TRUE(after.at(0, x, y) == 0 || after.at(0, x, y) == 255);
                ASSERT_EQ(after.at(1, x, y), after.at(0, x, y));
                ASSERT_EQ(after.at(2, x, y), after.at(0, x, y));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Filters, EveryFilterEverySize,
                         testing::Combine(testing::ValuesIn(menuFilters()),
                                          testing::ValuesIn(kSizes)),
                         [](const auto& info) {
                             const Size size = std::get<1>(info.param);
                             return std::get<0>(info.param).name + "_" +
                                    std::to_string(size.width) + "x" + std::to_string(size.height);
                         });

TEST(RunFilter, SecondCommandDuringARunDoesNothing) {
    const Filters::MemoryBitmap original = noise(9, 6, 3);
    Filters::MemoryBitmap once = original;
    run(Code::Brightness, once, 4);

    Filters::MemoryBitmap twice = original;
    Filters::MemoryBitmap other = original;
    int events = 0;
    Filters::RunHooks hooks;
    hooks.processEvents = [&] {
        ++events;
        EXPECT_TRUE(Filters::FilterBusy);
        Filters::RunFilter(Code::Brightness, twice, 4);
        Filters::RunFilter(Code::Negative, other, 0);
        return true;
    };
    Filters::RunFilter(Code::Brightness, twice, 4, hooks);
    EXPECT_EQ(events, 7);
    EXPECT_EQ(twice.bytes(), once.bytes());
    EXPECT_EQ(other.bytes(), original.bytes());
    expectIdle();
}

struct Abandon {
    const char* name;
    int code;
    int parameter;
    int stopAt;  // the event point whose callback asks to stop
};

class AbandonedRun : public testing::TestWithParam<Abandon> {};

TEST_P(AbandonedRun, StopsThereAndWritesNothingBack) {
    const Abandon& a = GetParam();
    const Filters::MemoryBitmap original = noise(11, 9, 5);
    Filters::MemoryBitmap picture = original;
    int events = 0;
    Filters::RunHooks hooks;
    hooks.processEvents = [&] { return ++events < a.stopAt; };
    Filters::RunFilter(a.code, picture, a.parameter, hooks);
    EXPECT_EQ(events, a.stopAt);
    EXPECT_EQ(picture.bytes(), original.bytes());
    expectIdle();
    // The module is free again for the next command.
    EXPECT_EQ(runCounting(Code::Negative, picture, 0), 10);
}

INSTANTIATE_TEST_SUITE_P(Filters, AbandonedRun,
                         testing::Values(Abandon{"LightFirstRow", Code::Brightness, 4, 1},
                                         Abandon{"LightLastRow", Code::Brightness, 4, 9},
                                         Abandon{"LightFinalPoint", Code::Brightness, 4, 10},
                                         Abandon{"ContrastTables", Code::Contrast, 10, 1},
                                         Abandon{"ScatteredTables", Code::Scattered, 15, 1},
                                         Abandon{"ScatteredThreshold", Code::Scattered, 15, 2},
                                         Abandon{"SharpenRow", Code::Sharpen, 10, 3},
                                         Abandon{"AquarelRow", Code::Aquarel, 0, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RunFilter, FlipDuringARunIsOverwrittenByTheFilter) {
    const Filters::MemoryBitmap original = noise(8, 5, 11);
    Filters::MemoryBitmap expected = original;
    run(Code::Negative, expected, 0);

    Filters::MemoryBitmap picture = original;
    Filters::RunHooks hooks;
    hooks.processEvents = [&] {
        Filters::FlipHorizontal(picture);
        return true;
    };
    Filters::RunFilter(Code::Negative, picture, 0, hooks);
    EXPECT_EQ(picture.bytes(), expected.bytes());
}

TEST(RunFilter, UnknownCodeWritesThePixelsBackUnchanged) {
    const Filters::MemoryBitmap original = noise(4, 4, 2);
    for (int code : {0, 5, 8, 30, -1}) {
        Filters::MemoryBitmap picture = original;
        EXPECT_EQ(runCounting(code, picture, 0), 0);
        EXPECT_EQ(picture.bytes(), original.bytes());
        expectIdle();
    }
}

// A bitmap that is replaced by one of another size between the size query and the read, or
// before the write-back.
class ShrinkingBitmap final : public Filters::Bitmap {
  public:
    bool shrinkBeforeRead = false;
    int writes = 0;
    int width() const override { return 4; }
    int height() const override { return 4; }
    bool readPixels(std::uint8_t* pixels, int width, int height) const override {
        if (shrinkBeforeRead) return false;
        std::fill(pixels, pixels + 4 * width * height, 9);
        return true;
    }
    bool writePixels(const std::uint8_t*, int, int) override {
        ++writes;
        return false;
    }
};

TEST(RunFilter, RefusedReadRunsNoFilterAndRefusedWriteStillEndsTheRun) {
    ShrinkingBitmap refusesRead;
    refusesRead.shrinkBeforeRead = true;
    EXPECT_EQ(runCounting(Code::Negative, refusesRead, 0), 0);
    EXPECT_EQ(refusesRead.writes, 0);
    expectIdle();

    ShrinkingBitmap refusesWrite;
    EXPECT_EQ(runCounting(Code::Negative, refusesWrite, 0), 5);
    EXPECT_EQ(refusesWrite.writes, 1);
    expectIdle();
}

TEST(SplitColour, TakesTheColourValueApart) {
    struct Case {
        int colour, red, green, blue;
    };
    for (const Case& c : {Case{16777215, 255, 255, 255}, Case{255, 255, 0, 0},
                          Case{256 * 7 + 65536 * 9 + 3, 3, 7, 9}, Case{-1, -1, 255, 255}}) {
        int red = 0, green = 0, blue = 0;
        Filters::SplitColour(c.colour, red, green, blue);
        EXPECT_EQ(red, c.red) << c.colour;
        EXPECT_EQ(green, c.green) << c.colour;
        EXPECT_EQ(blue, c.blue) << c.colour;
    }
}

}  // namespace
