// Sharpen, blur and edge (in place) and contour (from the untouched copy).

#include "FilterTestSupport.h"

using namespace filtertest;
namespace Code = Filters::Code;

namespace {

struct Example {
    const char* name;
    int code;
    int parameter;
    Filters::MemoryBitmap before;
    Filters::MemoryBitmap after;
};

// Each example names what it proves; the in-place ones differ from a separate-copy result.
std::vector<Example> examples() {
    const std::vector<int> zeros(5, 0);
    return {
        {"BlurInPlace", Code::Blur, 0, fromRows({{240, 0, 0, 0}, {240, 0, 0, 0}, {240, 0, 0, 0}}),
         fromRows({{240, 0, 0, 0}, {240, 90, 11, 0}, {240, 0, 0, 0}})},
        {"SharpenInPlace", Code::Sharpen, 10,
         fromRows({{0, 100, 100, 100}, {0, 100, 100, 100}, {0, 100, 100, 100}}),
         fromRows({{0, 100, 100, 100}, {0, 133, 96, 100}, {0, 100, 100, 100}})},
        {"SharpenSpotClampsItsNeighbours", Code::Sharpen, 10,
         fromRows({zeros, zeros, {0, 0, 100, 0, 0}, zeros, zeros}),
         fromRows({zeros, zeros, {0, 0, 188, 0, 0}, zeros, zeros})},
        {"EdgeInPlace", Code::Edge, 1,
         fromRows({{0, 100, 100, 100}, {0, 100, 100, 100}, {0, 100, 100, 100}}),
         fromRows({{0, 100, 100, 100}, {0, 250, 25, 100}, {0, 100, 100, 100}})},
        {"EdgeSpot", Code::Edge, 1, fromRows({zeros, zeros, {0, 0, 100, 0, 0}, zeros, zeros}),
         fromRows({zeros, zeros, {0, 0, 255, 0, 0}, zeros, zeros})},
        {"ContourStepFromTheCopy", Code::Contour, Filters::kWhite,
         fromRows({{20, 20, 100, 100, 100},
                   {20, 20, 100, 100, 100},
                   {20, 20, 100, 100, 100},
                   {20, 20, 100, 100, 100},
                   {20, 20, 100, 100, 100}}),
         fromRows({{20, 20, 100, 100, 100},
                   {20, 15, 255, 255, 100},
                   {20, 15, 255, 255, 100},
                   {20, 15, 255, 255, 100},
                   {20, 20, 100, 100, 100}})},
    };
}

TEST(NeighbourFilters, Examples) {
    for (Example& e : examples()) {
        run(e.code, e.before, e.parameter);
        EXPECT_EQ(e.before.bytes(), e.after.bytes()) << e.name;
    }
}

TEST(NeighbourFilters, OneColourStaysUnderSharpenBlurAndEdge) {
    for (int code : {Code::Sharpen, Code::Blur, Code::Edge}) {
        Filters::MemoryBitmap picture = uniform(6, 5, 17, 140, 255);
        const Filters::MemoryBitmap original = picture;
        run(code, picture, code == Code::Sharpen ? 10 : 1);
        EXPECT_EQ(picture.bytes(), original.bytes()) << code;
    }
}

// Even areas take the offset colour, channel by channel: blue the blue byte, red the low one.
TEST(ContourFilter, EvenAreaTakesTheOffsetColour) {
    const int colour = 10 + 256 * 20 + 65536 * 30;
    Filters::MemoryBitmap picture = uniform(4, 4, 90, 90, 90);
    run(Code::Contour, picture, colour);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const bool inner = x > 0 && y > 0 && x < 3 && y < 3;
            EXPECT_EQ(picture.at(0, x, y), inner ? 30 : 90);
            EXPECT_EQ(picture.at(1, x, y), inner ? 20 : 90);
            EXPECT_EQ(picture.at(2, x, y), inner ? 10 : 90);
        }
    }
    Filters::MemoryBitmap white = uniform(3, 3, 90, 90, 90);
    run(Code::Contour, white, Filters::kWhite);
    EXPECT_EQ(white.at(1, 1, 1), 255);
}

}  // namespace
