// BmpToJpeg on its own: which BMPs it reads, what JPEG it writes, and that a failure never
// touches the file at the JPEG path.
#include "bmptojpeg/BmpToJpeg.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include "FullDisk.h"

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

namespace {

constexpr int kWidth = 127;
constexpr int kHeight = 163;

// A smooth picture with some detail, like a face: RGB, top row first.
Bytes photoPixels() {
    Bytes rgb;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            rgb.push_back(static_cast<unsigned char>(2 * x));
            rgb.push_back(static_cast<unsigned char>(y + 40));
            rgb.push_back(static_cast<unsigned char>(128 + 100 * std::sin((x + y) / 15.0)));
        }
    }
    return rgb;
}

void put(Bytes& out, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// An uncompressed BMP of photoPixels() at 4, 8 (grey palette), 24 or 32 bits per pixel.
Bytes bmpFile(int bits) {
    const Bytes rgb = photoPixels();
    const int paletteSize = bits <= 8 ? (1 << bits) : 0;
    const std::uint32_t rowBytes = ((kWidth * bits + 31) / 32) * 4;
    const std::uint32_t offset = 54 + 4 * paletteSize;
    Bytes out{'B', 'M'};
    put(out, offset + rowBytes * kHeight, 4);
    put(out, 0, 4);
    put(out, offset, 4);
    for (std::uint32_t field : {40u, std::uint32_t(kWidth), std::uint32_t(kHeight)})
        put(out, field, 4);
    put(out, 1, 2);
    put(out, bits, 2);
    for (std::uint32_t field : {0u, rowBytes * kHeight, 3622u, 3622u, 0u, 0u}) put(out, field, 4);
    for (int i = 0; i < paletteSize; ++i) put(out, (i * 255 / (paletteSize - 1)) * 0x010101u, 4);
    for (int y = kHeight - 1; y >= 0; --y) {
        Bytes row;
        for (int x = 0; x < kWidth; ++x) {
            const unsigned char* p = &rgb[3 * (y * kWidth + x)];
            if (bits == 24 || bits == 32) {
                row.insert(row.end(), {p[2], p[1], p[0]});
                if (bits == 32) row.push_back(0);
            } else if (bits == 8) {
                row.push_back(p[0]);
            } else if (x % 2 == 0) {
                row.push_back(static_cast<unsigned char>((p[0] >> 4) << 4));
            }
        }
        row.resize(rowBytes, 0);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

void writeFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

Bytes readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::set<std::string> listing(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

struct Decoded {
    int width = 0, height = 0, subsampling = -1;
    Bytes rgb;
};

Decoded decodeJpeg(const Bytes& jpeg) {
    Decoded d;
    tjhandle decoder = tjInitDecompress();
    int colourspace = 0;
    auto* data = const_cast<unsigned char*>(jpeg.data());
    if (tjDecompressHeader3(decoder, data, jpeg.size(), &d.width, &d.height, &d.subsampling,
                            &colourspace) == 0) {
        d.rgb.resize(3 * d.width * d.height);
        if (tjDecompress2(decoder, data, jpeg.size(), d.rgb.data(), d.width, 0, d.height, TJPF_RGB,
                          TJFLAG_ACCURATEDCT) != 0) {
            d.rgb.clear();
        }
    }
    tjDestroy(decoder);
    return d;
}

double meanAbsoluteError(const Bytes& a, const Bytes& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
    return sum / a.size();
}

class BmpToJpegTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "bmptojpeg-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path dir;
};

}  // namespace

class ReadableDepths : public BmpToJpegTest, public ::testing::WithParamInterface<int> {};

TEST_P(ReadableDepths, GivesTheSamePictureAt92Dpi) {
    const int bits = GetParam();
    writeFile(dir / "in.bmp", bmpFile(bits));
    ASSERT_EQ(BmpToJpeg((dir / "in.bmp").c_str(), (dir / "out.jpg").c_str(), 100), BMPTOJPEG_OK);

    const Bytes jpeg = readFile(dir / "out.jpg");
    const Decoded d = decodeJpeg(jpeg);
    ASSERT_EQ(d.width, kWidth);
    ASSERT_EQ(d.height, kHeight);
    EXPECT_EQ(d.subsampling, bits == 8 ? TJSAMP_GRAY : TJSAMP_444);
    Bytes expected = photoPixels();
    // The grey file holds the red channel as its grey level.
    if (bits == 8) {
        for (std::size_t i = 0; i < expected.size(); i += 3)
            expected[i + 1] = expected[i + 2] = expected[i];
    }
    EXPECT_LT(meanAbsoluteError(d.rgb, expected), 1.5);
    // JFIF: units 1 (dots per inch), 92 x 92.
    ASSERT_GT(jpeg.size(), 18u);
    EXPECT_EQ(std::string(jpeg.begin() + 6, jpeg.begin() + 11), std::string("JFIF\0", 5));
    EXPECT_EQ(jpeg[13], 1);
    EXPECT_EQ((jpeg[14] << 8) | jpeg[15], 92);
    EXPECT_EQ((jpeg[16] << 8) | jpeg[17], 92);
    // The BMP is only read.
    EXPECT_EQ(readFile(dir / "in.bmp"), bmpFile(bits));
}

INSTANTIATE_TEST_SUITE_P(Bits, ReadableDepths, ::testing::Values(8, 24, 32));

struct QualityRow {
    int quality;
    int subsampling;
};

class Qualities : public BmpToJpegTest, public ::testing::WithParamInterface<QualityRow> {};

TEST_P(Qualities, ChromaKeepsFullResolutionFrom90Up) {
    writeFile(dir / "in.bmp", bmpFile(24));
    ASSERT_EQ(BmpToJpeg((dir / "in.bmp").c_str(), (dir / "out.jpg").c_str(), GetParam().quality),
              BMPTOJPEG_OK);
    const Decoded d = decodeJpeg(readFile(dir / "out.jpg"));
    EXPECT_EQ(d.width, kWidth);
    EXPECT_EQ(d.subsampling, GetParam().subsampling);
}

INSTANTIATE_TEST_SUITE_P(Scale, Qualities,
                         ::testing::Values(QualityRow{100, TJSAMP_444}, QualityRow{90, TJSAMP_444},
                                           QualityRow{89, TJSAMP_420}, QualityRow{1, TJSAMP_420},
                                           QualityRow{0, TJSAMP_420}));

TEST_F(BmpToJpegTest, InvalidArgumentsWriteNothing) {
    writeFile(dir / "in.bmp", bmpFile(24));
    const std::string in = dir / "in.bmp";
    const std::string out = dir / "out.jpg";
    const struct {
        const char* bmp;
        const char* jpeg;
        int quality;
    } rows[] = {{nullptr, out.c_str(), 100},   {in.c_str(), nullptr, 100},
                {"", out.c_str(), 100},        {in.c_str(), "", 100},
                {in.c_str(), out.c_str(), -1}, {in.c_str(), out.c_str(), 101}};
    for (const auto& row : rows) {
        EXPECT_EQ(BmpToJpeg(row.bmp, row.jpeg, row.quality), BMPTOJPEG_INVALID_ARGUMENT)
            << "quality " << row.quality;
    }
    EXPECT_EQ(listing(dir), std::set<std::string>{"in.bmp"});
}

// Each way a conversion can fail, with a JPEG from an earlier save already at the path.
struct FailureRow {
    const char* name;
    int expected;
    // Prepares the input (and the disk) in `dir`; returns false to skip the row.
    std::function<bool(const fs::path& dir)> prepare;
};

void PrintTo(const FailureRow& row, std::ostream* out) {
    *out << row.name;
}

class Failures : public BmpToJpegTest, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(Failures, LeaveTheOldJpegAsItWas) {
    fs::create_directory(dir / "disk");
    std::unique_ptr<SmallDisk> disk;
    if (std::string(GetParam().name) == "disk_full") {
        disk = std::make_unique<SmallDisk>(dir / "disk", 64);
        if (!disk->mounted()) GTEST_SKIP() << "no permission to mount a small disk";
    }
    writeFile(dir / "in.bmp", bmpFile(24));
    const Bytes old(3000, 'o');  // stands for the JPEG of an earlier save
    writeFile(dir / "disk" / "out.jpg", old);
    if (disk) {
        ASSERT_TRUE(disk->leaveFree(4096));
    }
    if (!GetParam().prepare(dir)) GTEST_SKIP();
    const auto before = listing(dir / "disk");

    int status = -1;
    {
        // Files may not grow past 4 KB; the new JPEG needs more.
        std::unique_ptr<FileSizeLimit> limit;
        if (std::string(GetParam().name) == "file_size_limit") {
            limit = std::make_unique<FileSizeLimit>(4096);
        }
        status = BmpToJpeg((dir / "in.bmp").c_str(), (dir / "disk" / "out.jpg").c_str(), 100);
    }
    EXPECT_EQ(status, GetParam().expected);
    EXPECT_EQ(readFile(dir / "disk" / "out.jpg"), old);
    EXPECT_EQ(listing(dir / "disk"), before) << "a partial file was left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Failures,
    ::testing::Values(
        FailureRow{"missing_bmp", BMPTOJPEG_READ_ERROR,
                   [](const fs::path& d) { return fs::remove(d / "in.bmp"); }},
        FailureRow{"truncated_bmp", BMPTOJPEG_READ_ERROR,
                   [](const fs::path& d) {
                       Bytes b = bmpFile(24);
                       b.resize(2000);
                       writeFile(d / "in.bmp", b);
                       return true;
                   }},
        // A few bytes claiming 30000 x 30000: refused before any pixels are allocated.
        FailureRow{"bmp_claiming_more_than_it_holds", BMPTOJPEG_READ_ERROR,
                   [](const fs::path& d) {
                       Bytes b = bmpFile(24);
                       const unsigned char side[4] = {0x30, 0x75, 0, 0};  // 30000
                       std::copy(side, side + 4, b.begin() + 18);
                       std::copy(side, side + 4, b.begin() + 22);
                       writeFile(d / "in.bmp", b);
                       return true;
                   }},
        // Sixteen-colour files are what an image library may choose for a plain picture.
        FailureRow{"four_bit_bmp", BMPTOJPEG_READ_ERROR,
                   [](const fs::path& d) {
                       writeFile(d / "in.bmp", bmpFile(4));
                       return true;
                   }},
        FailureRow{"file_size_limit", BMPTOJPEG_WRITE_ERROR, [](const fs::path&) { return true; }},
        FailureRow{"disk_full", BMPTOJPEG_WRITE_ERROR, [](const fs::path&) { return true; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BmpToJpegTest, UnwritableDestinationsGetNothing) {
    writeFile(dir / "in.bmp", bmpFile(24));
    writeFile(dir / "file.txt", {'x'});
    // The administrator may write anywhere on a disk, but not in /proc.
    for (const fs::path& out : {dir / "gone" / "out.jpg", dir / "file.txt" / "out.jpg",
                                fs::path("/proc/portrik-out.jpg")}) {
        EXPECT_EQ(BmpToJpeg((dir / "in.bmp").c_str(), out.c_str(), 100), BMPTOJPEG_WRITE_ERROR)
            << out;
        EXPECT_FALSE(fs::exists(out));
    }
    EXPECT_EQ(listing(dir), (std::set<std::string>{"in.bmp", "file.txt"}));
}

TEST_F(BmpToJpegTest, ReplacingKeepsPermissionsAndFollowsLinks) {
    writeFile(dir / "in.bmp", bmpFile(24));
    writeFile(dir / "target.jpg", {'o', 'l', 'd'});
    fs::permissions(dir / "target.jpg", fs::perms(0640));
    fs::create_symlink("target.jpg", dir / "link.jpg");

    ASSERT_EQ(BmpToJpeg((dir / "in.bmp").c_str(), (dir / "link.jpg").c_str(), 100), BMPTOJPEG_OK);
    EXPECT_TRUE(fs::is_symlink(dir / "link.jpg"));
    EXPECT_EQ(fs::status(dir / "target.jpg").permissions(), fs::perms(0640));
    EXPECT_EQ(decodeJpeg(readFile(dir / "target.jpg")).width, kWidth);
    EXPECT_EQ(listing(dir), (std::set<std::string>{"in.bmp", "target.jpg", "link.jpg"}));
}

TEST_F(BmpToJpegTest, NonAsciiPathsAsUtf8Bytes) {
    const fs::path folder = dir / u8"pasfoto ëï";
    fs::create_directory(folder);
    writeFile(folder / u8"tijdelijk é.bmp", bmpFile(24));
    const fs::path out = folder / u8"foto 日本 ü.jpg";
    ASSERT_EQ(BmpToJpeg((folder / u8"tijdelijk é.bmp").c_str(), out.c_str(), 100), BMPTOJPEG_OK);
    EXPECT_EQ(decodeJpeg(readFile(out)).height, kHeight);
}
