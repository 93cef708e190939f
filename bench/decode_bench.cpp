// Photos from phones on 12 megapixels: a HEIC in Display P3 decoded and converted to sRGB
// against libheif's decode alone, and a JPEG carrying a Display P3 profile opened up to the
// framed photo against the same JPEG without one.
#include <memory>
#include <vector>

#include <QBuffer>
#include <QColorSpace>
#include <QImage>

#include <benchmark/benchmark.h>
#include <libheif/heif.h>
#include <lcms2.h>

#include "BenchPhotos.h"
#include "decode/Colour.h"
#include "passport/FaceFinder.h"
#include "passport/Framing.h"
#include "platform/files/AnyPhoto.h"
#include "platform/files/PhotoPixels.h"

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

// The camera photo of a real face at 12 megapixels, its pixels in Display P3 (as an iPhone
// stores them), and the profile that says so.
struct PhonePhoto {
    QImage p3;
    std::vector<unsigned char> icc;
};

const PhonePhoto& phonePhoto() {
    static PhonePhoto photo;
    if (!photo.p3.isNull()) return photo;
    photo.icc = decode::profileFromNclx(12, 13);
    photo.p3 = faceCameraPhoto()
                   .scaled(kWidth, kHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                   .convertToFormat(QImage::Format_RGB32);
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHPROFILE p3 = cmsOpenProfileFromMem(photo.icc.data(), cmsUInt32Number(photo.icc.size()));
    cmsHTRANSFORM toP3 =
        cmsCreateTransform(srgb, TYPE_BGRA_8, p3, TYPE_BGRA_8, INTENT_RELATIVE_COLORIMETRIC, 0);
    for (int y = 0; y < kHeight; ++y) {
        cmsDoTransform(toP3, photo.p3.scanLine(y), photo.p3.scanLine(y), kWidth);
    }
    cmsDeleteTransform(toP3);
    cmsCloseProfile(p3);
    cmsCloseProfile(srgb);
    return photo;
}

QByteArray jpegOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 92);
    return bytes;
}

// The same pixels as a JPEG with the Display P3 profile, and without any.
const QByteArray& jpeg(bool withProfile) {
    static QByteArray files[2];
    QByteArray& file = files[withProfile];
    if (file.isEmpty()) {
        QImage image = phonePhoto().p3;
        if (withProfile) {
            const PhonePhoto& p = phonePhoto();
            image.setColorSpace(QColorSpace::fromIccProfile(
                QByteArray(reinterpret_cast<const char*>(p.icc.data()), qsizetype(p.icc.size()))));
        }
        file = jpegOf(image);
    }
    return file;
}

heif_error writeTo(heif_context*, const void* data, size_t size, void* out) {
    static_cast<QByteArray*>(out)->append(static_cast<const char*>(data), qsizetype(size));
    return {heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

// The P3 pixels as an iPhone stores them: HEVC, with the Display P3 profile.
const QByteArray& heic() {
    static QByteArray file;
    if (!file.isEmpty()) return file;
    const QImage& p3 = phonePhoto().p3;
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
    heif_encoder_set_lossy_quality(encoder, 90);
    heif_image* image = nullptr;
    heif_image_create(kWidth, kHeight, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, kWidth, kHeight, 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < kHeight; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(p3.constScanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            uint8_t* out = plane + y * stride + 3 * x;
            out[0] = uint8_t(qRed(in[x])), out[1] = uint8_t(qGreen(in[x])), out[2] = uint8_t(qBlue(in[x]));
        }
    }
    // libheif 1.15 writes an image's ICC profile, not its nclx colours.
    const std::vector<unsigned char>& icc = phonePhoto().icc;
    heif_image_set_raw_color_profile(image, "prof", icc.data(), icc.size());
    heif_context_encode_image(context, image, encoder, nullptr, nullptr);
    heif_writer writer{1, writeTo};
    heif_context_write(context, &writer, &file);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
    return file;
}

const passport::FaceModel* model() {
    static const std::unique_ptr<passport::FaceModel> loaded = passport::FaceModel::load();
    return loaded.get();
}

void BM_Phone_HeicToSrgb(benchmark::State& state) {
    const QByteArray& file = heic();
    for (auto _ : state) {
        const OpenedPhoto opened =
            decodeAnyPhoto(reinterpret_cast<const unsigned char*>(file.constData()), file.size());
        if (!opened.photo || opened.colour == QLatin1String("sRGB")) {
            state.SkipWithError("the HEIC did not open converted");
        }
    }
    state.counters["MB"] = file.size() / 1e6;
}
BENCHMARK(BM_Phone_HeicToSrgb)->Unit(benchmark::kMillisecond)->MinTime(2);

// Baseline: libheif's decode of the same file to interleaved RGB, nothing else.
void BM_Phone_HeicLibheifAlone(benchmark::State& state) {
    const QByteArray& file = heic();
    for (auto _ : state) {
        heif_context* context = heif_context_alloc();
        heif_context_read_from_memory_without_copy(context, file.constData(), file.size(), nullptr);
        heif_image_handle* handle = nullptr;
        heif_context_get_primary_image_handle(context, &handle);
        heif_image* image = nullptr;
        heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr);
        benchmark::DoNotOptimize(image);
        heif_image_release(image);
        heif_image_handle_release(handle);
        heif_context_free(context);
    }
}
BENCHMARK(BM_Phone_HeicLibheifAlone)->Unit(benchmark::kMillisecond)->MinTime(2);

// A photo opened up to the framed photo: decoded (and converted, with a profile), the face
// found, the head framed.
void openToFramed(benchmark::State& state, bool withProfile) {
    const QByteArray& file = jpeg(withProfile);
    if (!model()) state.SkipWithError("no face model");
    for (auto _ : state) {
        const OpenedPhoto opened =
            decodeAnyPhoto(reinterpret_cast<const unsigned char*>(file.constData()), file.size());
        if (!opened.photo || (opened.colour != QLatin1String("sRGB")) != withProfile) {
            state.SkipWithError("the JPEG did not open as expected");
            break;
        }
        const passport::FaceSearch search = model()->find(opened.photo->pixels());
        if (search.count() != passport::FaceCount::One) state.SkipWithError("not one face");
        benchmark::DoNotOptimize(frameHead(search.faces[0].marks, passport::AgeGroup::From11));
    }
}

void BM_Phone_JpegWithProfileToFramed(benchmark::State& state) {
    openToFramed(state, true);
}
BENCHMARK(BM_Phone_JpegWithProfileToFramed)->Unit(benchmark::kMillisecond)->MinTime(3);

// Baseline: the same pixels without a profile.
void BM_Phone_JpegWithoutProfileToFramed(benchmark::State& state) {
    openToFramed(state, false);
}
BENCHMARK(BM_Phone_JpegWithoutProfileToFramed)->Unit(benchmark::kMillisecond)->MinTime(3);

// The conversion alone, on every core and on one.
void BM_Phone_ConvertP3ToSrgb(benchmark::State& state) {
    const PhonePhoto& p = phonePhoto();
    QImage work = p.p3;
    for (auto _ : state) {
        state.PauseTiming();
        work = p.p3.copy();
        state.ResumeTiming();
        decode::convertToSrgb(pixelsOf(work), p.icc.data(), p.icc.size(), int(state.range(0)));
    }
}
BENCHMARK(BM_Phone_ConvertP3ToSrgb)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace
