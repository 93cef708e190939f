// BmpToJpeg on random BMP files: a refusal leaves nothing behind, a success leaves a JPEG
// that decodes to the BMP's size and says 92 dots per inch.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <turbojpeg.h>

#include "bmptojpeg/BmpFormat.h"
#include "bmptojpeg/BmpToJpeg.h"

namespace {

constexpr std::size_t kMaxInputBytes = 1 << 20;
// The converter holds the whole picture in memory, several times over; a BMP header of a few
// bytes may claim gigabytes. Pictures above this are not handed to it.
constexpr std::int64_t kMaxPixels = 1 << 22;

void check(bool condition) {
    if (!condition) abort();
}

// A private folder, in memory when the machine has one, removed when the run ends.
struct Folder {
    std::string path;
    Folder() {
        std::string tmpl = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        tmpl += "/portrik-fuzz-bmptojpeg-XXXXXX";
        check(mkdtemp(tmpl.data()) != nullptr);
        path = tmpl;
    }
    ~Folder() {
        for (const std::string& name : entries()) unlink((path + "/" + name).c_str());
        rmdir(path.c_str());
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        if (DIR* dir = opendir(path.c_str())) {
            while (dirent* entry = readdir(dir)) {
                if (std::strcmp(entry->d_name, ".") && std::strcmp(entry->d_name, ".."))
                    names.push_back(entry->d_name);
            }
            closedir(dir);
        }
        return names;
    }
};

Folder& folder() {
    static Folder instance;
    return instance;
}

// The size the BMP header claims; false when the picture is too large to hand over.
bool claimedSize(const std::uint8_t* data, std::size_t size, std::int64_t& width,
                 std::int64_t& height) {
    BmpHeader header;
    if (!BmpReadHeader(data, size, &header)) return true;  // the converter must refuse it
    width = header.width;
    height = header.height;
    return std::llabs(width) * std::llabs(height) <= kMaxPixels;
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    check(file != nullptr);
    check(std::fwrite(data, 1, size, file) == size);
    check(std::fclose(file) == 0);
}

std::vector<unsigned char> readFile(const std::string& path) {
    std::vector<unsigned char> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    check(file != nullptr);
    unsigned char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
    return bytes;
}

void checkJpeg(const std::vector<unsigned char>& jpeg, std::int64_t width, std::int64_t height) {
    // JFIF, version 1.01 or later, 92 x 92 dots per inch.
    check(jpeg.size() > 20 && jpeg[0] == 0xFF && jpeg[1] == 0xD8 && jpeg[2] == 0xFF &&
          jpeg[3] == 0xE0 && std::memcmp(&jpeg[6], "JFIF", 5) == 0);
    check(jpeg[13] == 1 && jpeg[14] == 0 && jpeg[15] == 92 && jpeg[16] == 0 && jpeg[17] == 92);
    tjhandle decoder = tjInitDecompress();
    check(decoder != nullptr);
    int w = 0, h = 0, subsampling = 0, colourspace = 0;
    check(tjDecompressHeader3(decoder, jpeg.data(), jpeg.size(), &w, &h, &subsampling,
                              &colourspace) == 0);
    check(w == std::llabs(width) && h == std::llabs(height));
    std::vector<unsigned char> pixels(std::size_t(w) * h * 3);
    check(tjDecompress2(decoder, jpeg.data(), jpeg.size(), pixels.data(), w, 0, h, TJPF_RGB, 0) ==
          0);
    tjDestroy(decoder);
}

int qualityFrom(std::uint8_t byte) {
    // Mostly the encoder's range; now and then a value it must refuse.
    static constexpr int kInvalid[] = {-1, 101, -2147483647 - 1, 2147483647, 1000, -100};
    return byte < 240 ? byte % 101 : kInvalid[byte % 6];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > kMaxInputBytes) return -1;
    const int quality = qualityFrom(data[0]);
    ++data;
    --size;
    std::int64_t width = 0, height = 0;
    if (!claimedSize(data, size, width, height)) return -1;

    const Folder& dir = folder();
    const std::string bmp = dir.path + "/in.bmp";
    const std::string jpeg = dir.path + "/out.jpg";
    writeFile(bmp, data, size);

    const int status = BmpToJpeg(bmp.c_str(), jpeg.c_str(), quality);
    check(BmpToJpegStatusText(status) != nullptr);
    if (quality < 0 || quality > 100) check(status == BMPTOJPEG_INVALID_ARGUMENT);
    if (status == BMPTOJPEG_OK) {
        checkJpeg(readFile(jpeg), width, height);
        check(unlink(jpeg.c_str()) == 0);
    } else {
        struct stat info;
        check(stat(jpeg.c_str(), &info) != 0);
    }
    // Nothing else is left in the folder: no half-written JPEG beside its name.
    const std::vector<std::string> left = dir.entries();
    check(left.size() == 1 && left[0] == "in.bmp");
    // The BMP is only read.
    check(readFile(bmp) == std::vector<unsigned char>(data, data + size));
    check(unlink(bmp.c_str()) == 0);
    return 0;
}
