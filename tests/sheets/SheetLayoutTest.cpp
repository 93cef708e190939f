// The sixteen sheets as drawn on a recording canvas, in twips, against the page grid written
// out independently of the drawing loops.
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "sheets/SheetLayout.h"

namespace {

using sheets::Picture;
using sheets::Rgb;

struct PictureOp {
    Picture picture;
    int x, y, width, height;
    friend bool operator==(const PictureOp&, const PictureOp&) = default;
};
struct LineOp {
    int x1, y1, x2, y2;
    Rgb colour;
    friend bool operator==(const LineOp&, const LineOp&) = default;
};
struct FontOp {
    std::string family;
    bool bold;
    int points;
    friend bool operator==(const FontOp&, const FontOp&) = default;
};
struct ColourOp {
    Rgb colour;
    friend bool operator==(const ColourOp&, const ColourOp&) = default;
};
struct TextOp {
    int x, y;
    std::string text;
    friend bool operator==(const TextOp&, const TextOp&) = default;
};
struct EndOp {
    friend bool operator==(const EndOp&, const EndOp&) = default;
};
using Op = std::variant<PictureOp, LineOp, FontOp, ColourOp, TextOp, EndOp>;

std::ostream& operator<<(std::ostream& os, const Op& op) {
    struct Print {
        std::ostream& os;
        void operator()(const PictureOp& o) {
            os << (o.picture == Picture::Photo ? "photo " : "frame ") << o.x << ',' << o.y << ' '
               << o.width << 'x' << o.height;
        }
        void operator()(const LineOp& o) {
            os << "line " << o.x1 << ',' << o.y1 << '-' << o.x2 << ',' << o.y2;
        }
        void operator()(const FontOp& o) { os << "font " << o.family << ' ' << o.points; }
        void operator()(const ColourOp& o) { os << "colour " << int(o.colour.r); }
        void operator()(const TextOp& o) { os << "text " << o.x << ',' << o.y << ' ' << o.text; }
        void operator()(const EndOp&) { os << "end"; }
    };
    std::visit(Print{os}, op);
    return os;
}

class RecordingCanvas : public sheets::SheetCanvas {
  public:
    std::vector<Op> ops;
    void drawPicture(Picture p, int x, int y, int w, int h) override {
        ops.push_back(PictureOp{p, x, y, w, h});
    }
    void drawLine(int x1, int y1, int x2, int y2, Rgb c) override {
        ops.push_back(LineOp{x1, y1, x2, y2, c});
    }
    void setFont(const std::string& f, bool b, int p) override { ops.push_back(FontOp{f, b, p}); }
    void setTextColour(Rgb c) override { ops.push_back(ColourOp{c}); }
    void drawText(int x, int y, const std::string& t) override { ops.push_back(TextOp{x, y, t}); }
    void endPage() override { ops.push_back(EndOp{}); }

    template <typename T>
    std::vector<T> all() const {
        std::vector<T> out;
        for (const Op& op : ops) {
            if (const T* o = std::get_if<T>(&op)) out.push_back(*o);
        }
        return out;
    }
};

std::vector<Op> record(const sheets::SheetOptions& options) {
    RecordingCanvas canvas;
    sheets::drawSheet(options, canvas);
    return canvas.ops;
}

sheets::SheetOptions optionsFor(int layout, bool cutLines) {
    sheets::SheetOptions options;
    options.layout = layout;
    options.cutLines = cutLines;
    return options;
}

// A photo of the grid in column c, row r, followed by its cut lines when asked for.
void expectPhoto(std::vector<Op>& out, int c, int r, bool cutLines) {
    const int x = 450 + 2120 * c;
    const int y = 600 + 3000 * r;
    out.push_back(PictureOp{Picture::Photo, x, y, 2005, 2585});
    if (!cutLines) return;
    out.push_back(LineOp{x - 150, y, x + 2155, y, sheets::kBlack});
    out.push_back(LineOp{x - 150, y + 2585, x + 2155, y + 2585, sheets::kBlack});
    out.push_back(LineOp{x, y - 150, x, y + 2735, sheets::kBlack});
    out.push_back(LineOp{x + 2005, y - 150, x + 2005, y + 2735, sheets::kBlack});
}

const std::string kEuro = "\xE2\x82\xAC ";

std::vector<Op> expectedSheet(int v, bool cutLines) {
    std::vector<Op> out;
    if (v <= 5) {
        for (int r = 0; r < v; ++r)
            for (int c = 0; c < 5; ++c) expectPhoto(out, c, r, cutLines);
    } else if (v <= 9) {
        for (int c = 0; c < 5; ++c) expectPhoto(out, c, v - 5, cutLines);
    } else if (v <= 14) {
        for (int r = 0; r < 5; ++r) expectPhoto(out, v - 10, r, cutLines);
    } else if (v == 15) {
        for (int r = 0; r < 7; ++r) {
            for (int c = 0; c < 6; ++c) {
                const int x = 300 + 1770 * c;
                const int y = 300 + 2205 * r;
                out.push_back(PictureOp{Picture::StampFrame, x, y, 1785, 2235});
                out.push_back(PictureOp{Picture::Photo, x + 150, y + 150, 1485, 1935});
                out.push_back(FontOp{"Arial", true, 10});
                out.push_back(ColourOp{sheets::kBlack});
                out.push_back(TextOp{x + 210, y + 210, kEuro + "0.39"});
                out.push_back(TextOp{x + 210, y + 1800, "Nederland"});
            }
        }
    } else {
        out.push_back(PictureOp{Picture::Photo, 450, 450, 10590, 15390});
    }
    out.push_back(EndOp{});
    return out;
}

struct SheetCase {
    int layout;
    bool cutLines;
};

class EverySheet : public ::testing::TestWithParam<SheetCase> {};

TEST_P(EverySheet, DrawsTheGridInOrderAndEndsOnePage) {
    const auto [layout, cutLines] = GetParam();
    EXPECT_EQ(record(optionsFor(layout, cutLines)), expectedSheet(layout, cutLines));
}

std::vector<SheetCase> everySheet() {
    std::vector<SheetCase> cases;
    for (int v = 1; v <= 16; ++v) {
        cases.push_back({v, false});
        cases.push_back({v, true});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Layouts, EverySheet, ::testing::ValuesIn(everySheet()),
                         [](const auto& info) {
                             return "Layout" + std::to_string(info.param.layout) +
                                    (info.param.cutLines ? "WithCutLines" : "");
                         });

struct StampTextCase {
    const char* name;
    bool blackText;
    std::string country;
    std::string value;
    Rgb colour;
    std::string valueShown;
};

class StampTexts : public ::testing::TestWithParam<StampTextCase> {};

TEST_P(StampTexts, EveryStampCarriesBothTextsAsTyped) {
    const StampTextCase& c = GetParam();
    sheets::SheetOptions options = optionsFor(15, false);
    options.blackText = c.blackText;
    options.countryText = c.country;
    options.valueText = c.value;
    RecordingCanvas canvas;
    sheets::drawSheet(options, canvas);
    const auto colours = canvas.all<ColourOp>();
    const auto texts = canvas.all<TextOp>();
    ASSERT_EQ(colours.size(), 42u);
    ASSERT_EQ(texts.size(), 84u);
    for (const auto& colour : colours) EXPECT_EQ(colour.colour, c.colour);
    for (size_t i = 0; i < texts.size(); i += 2) {
        EXPECT_EQ(texts[i].text, c.valueShown);
        EXPECT_EQ(texts[i + 1].text, c.country);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, StampTexts,
                         ::testing::Values(StampTextCase{"WhiteWhenUnchecked", false, "Nederland",
                                                         "0.39", sheets::kWhite, kEuro + "0.39"},
                                           StampTextCase{"EmptyValueLeavesTheEuroSign", true,
                                                         "Nederland", "", sheets::kBlack, kEuro},
                                           StampTextCase{"LongTextUnwrapped", true,
                                                         std::string(80, 'W'), "12345.67",
                                                         sheets::kBlack, kEuro + "12345.67"},
                                           StampTextCase{"AccentsKept", true, "Belgi\xC3\xAB",
                                                         "0,50", sheets::kBlack, kEuro + "0,50"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
