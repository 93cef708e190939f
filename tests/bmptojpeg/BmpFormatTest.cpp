// The BMP header reader that photo loading and BmpToJpeg share: what it reads, and when a file
// holds every row its header promises.
#include "bmptojpeg/BmpFormat.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<unsigned char>;

void put(Bytes& bytes, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// A complete 4 x 3 picture at 24 bits: rows of 12 bytes after a 54-byte header.
Bytes smallBmp() {
    Bytes bytes(54 + 3 * 12, 0x55);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(bytes, 2, static_cast<std::uint32_t>(bytes.size()), 4);
    put(bytes, 10, 54, 4);
    put(bytes, 14, 40, 4);
    put(bytes, 18, 4, 4);
    put(bytes, 22, 3, 4);
    put(bytes, 26, 1, 2);
    put(bytes, 28, 24, 2);
    put(bytes, 30, 0, 4);
    return bytes;
}

// The same picture behind the old 12-byte OS/2 header.
Bytes os2Bmp() {
    Bytes bytes(26 + 3 * 12, 0x55);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(bytes, 10, 26, 4);
    put(bytes, 14, 12, 4);
    put(bytes, 18, 4, 2);
    put(bytes, 20, 3, 2);
    put(bytes, 22, 1, 2);
    put(bytes, 24, 24, 2);
    return bytes;
}

struct HeaderCase {
    const char* name;
    std::function<Bytes()> bytes;
    bool readable;
    bool holdsRows;
};

class BmpFormat : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(BmpFormat, ReadsTheHeaderAndChecksTheRows) {
    const Bytes bytes = GetParam().bytes();
    BmpHeader header;
    ASSERT_EQ(BmpReadHeader(bytes.data(), bytes.size(), &header) != 0, GetParam().readable);
    if (!GetParam().readable) return;
    EXPECT_EQ(BmpHoldsItsRows(&header, bytes.size()) != 0, GetParam().holdsRows);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BmpFormat,
    ::testing::Values(
        HeaderCase{"Complete", smallBmp, true, true},
        HeaderCase{"OneByteShort",
                   [] {
                       Bytes b = smallBmp();
                       b.pop_back();
                       return b;
                   },
                   true, false},
        HeaderCase{"TopDown",
                   [] {
                       Bytes b = smallBmp();
                       put(b, 22, static_cast<std::uint32_t>(-3), 4);
                       return b;
                   },
                   true, true},
        HeaderCase{"PixelsBeyondTheEnd",
                   [] {
                       Bytes b = smallBmp();
                       put(b, 10, 4000, 4);
                       return b;
                   },
                   true, false},
        HeaderCase{"ColourMasksShort",
                   [] {
                       Bytes b = smallBmp();
                       put(b, 30, 3, 4);
                       b.resize(b.size() - 12);
                       return b;
                   },
                   true, false},
        HeaderCase{"RunLengthHasNoFixedSize",
                   [] {
                       Bytes b = smallBmp();
                       put(b, 30, 1, 4);
                       b.resize(60);
                       return b;
                   },
                   true, true},
        HeaderCase{"Os2Header", os2Bmp, true, true},
        HeaderCase{"Os2HeaderShort",
                   [] {
                       Bytes b = os2Bmp();
                       b.resize(b.size() - 1);
                       return b;
                   },
                   true, false},
        HeaderCase{"HugeClaimWithoutOverflow",
                   [] {
                       Bytes b = smallBmp();
                       put(b, 18, 0x7FFFFFFF, 4);
                       put(b, 22, 0x7FFFFFFF, 4);
                       put(b, 28, 32, 2);
                       return b;
                   },
                   true, false},
        HeaderCase{"NotABmp",
                   [] {
                       Bytes b = smallBmp();
                       b[1] = 'X';
                       return b;
                   },
                   false, false},
        HeaderCase{"HeaderSizeOfNoBmpVersion",
                   [] {
                       Bytes b = smallBmp();
                       put(b, 14, 41, 4);
                       return b;
                   },
                   false, false},
        HeaderCase{"EndsInsideTheHeader",
                   [] {
                       Bytes b = smallBmp();
                       b.resize(30);
                       return b;
                   },
                   false, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
