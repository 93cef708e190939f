#include "passport/ShapeModel.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace passport {

namespace {

// Limits far above any real model that keep every size below within 64 bits.
constexpr std::uint32_t kMaxParts = 4096;
constexpr std::uint32_t kMaxCascades = 1024;
constexpr std::uint32_t kMaxTrees = 65536;
constexpr std::uint32_t kMaxSplits = 32767;
constexpr std::uint32_t kMaxFeatures = 65536;  // an index must fit 16 bits

std::uint64_t alignedUp(std::uint64_t offset, std::uint64_t to) {
    return (offset + to - 1) / to * to;
}

// Closes a descriptor on every way out of open().
struct FileDescriptor {
    int fd = -1;
    ~FileDescriptor() {
        if (fd >= 0) ::close(fd);
    }
};

std::string damaged(const std::string& why) {
    return "the file is damaged (" + why + ")";
}

}  // namespace

std::optional<PreparedModelLayout> preparedModelLayout(const PreparedModelHeader& h) {
    const std::uint32_t leaves = h.splitsPerTree + 1;
    if (h.parts == 0 || h.parts > kMaxParts || h.cascades == 0 || h.cascades > kMaxCascades ||
        h.treesPerCascade == 0 || h.treesPerCascade > kMaxTrees || h.splitsPerTree > kMaxSplits ||
        (leaves & (leaves - 1)) != 0 || h.featuresPerCascade == 0 ||
        h.featuresPerCascade > kMaxFeatures) {
        return std::nullopt;
    }
    const std::uint64_t shape = std::uint64_t(h.parts) * 2 * sizeof(float);
    const std::uint64_t features = std::uint64_t(h.cascades) * h.featuresPerCascade;
    const std::uint64_t trees = std::uint64_t(h.cascades) * h.treesPerCascade;
    PreparedModelLayout l;
    l.initialShape = sizeof(PreparedModelHeader);
    l.anchors = l.initialShape + shape;
    l.deltas = l.anchors + features * sizeof(std::uint32_t);
    l.splits = alignedUp(l.deltas + features * 2 * sizeof(float), alignof(PreparedSplit));
    l.leaves = alignedUp(l.splits + trees * h.splitsPerTree * sizeof(PreparedSplit), 64);
    l.size = l.leaves + trees * leaves * shape;
    return l;
}

MappedShapeModel::~MappedShapeModel() {
    if (base_) ::munmap(const_cast<unsigned char*>(base_), mappedSize_);
}

bool MappedShapeModel::isPrepared(const std::string& path) {
    FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    char magic[sizeof kPreparedModelMagic];
    return file.fd >= 0 && ::pread(file.fd, magic, sizeof magic, 0) == sizeof magic &&
           std::memcmp(magic, kPreparedModelMagic, sizeof magic) == 0;
}

std::unique_ptr<MappedShapeModel> MappedShapeModel::open(const std::string& path,
                                                         std::string& problem) {
    FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) {
        problem = errno == ENOENT ? "there is no such file" : std::strerror(errno);
        return nullptr;
    }
    struct stat status{};
    if (::fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        problem = "it is not a file";
        return nullptr;
    }
    std::unique_ptr<MappedShapeModel> model(new MappedShapeModel);
    PreparedModelHeader& h = model->header_;
    if (::pread(file.fd, &h, sizeof h, 0) != ssize_t(sizeof h)) {
        problem = damaged("it ends inside its header");
        return nullptr;
    }
    if (std::memcmp(h.magic, kPreparedModelMagic, sizeof h.magic) != 0) {
        problem = damaged("it is not a prepared face model");
        return nullptr;
    }
    if (h.byteOrder != kPreparedModelByteOrder) {
        problem = damaged("it was made for a machine of the other byte order");
        return nullptr;
    }
    if (h.version != kPreparedModelVersion) {
        problem = damaged("format " + std::to_string(h.version) + ", this program reads " +
                          std::to_string(kPreparedModelVersion));
        return nullptr;
    }
    const std::optional<PreparedModelLayout> layout = preparedModelLayout(h);
    if (!layout || h.reserved != 0) {
        problem = damaged("its counts are out of range");
        return nullptr;
    }
    if (h.fileSize != layout->size || std::uint64_t(status.st_size) != layout->size) {
        problem = damaged("it holds " + std::to_string(status.st_size) + " bytes instead of " +
                          std::to_string(layout->size));
        return nullptr;
    }
    model->layout_ = *layout;
    model->mappedSize_ = std::size_t(layout->size);
    void* mapped = ::mmap(nullptr, model->mappedSize_, PROT_READ, MAP_PRIVATE, file.fd, 0);
    if (mapped == MAP_FAILED) {
        problem = std::strerror(errno);
        return nullptr;
    }
    model->base_ = static_cast<const unsigned char*>(mapped);
    // The leaves a fit needs lie all over the file: have the kernel read it ahead now, while
    // the indices are checked, rather than page by page during the first fit.
    ::madvise(mapped, model->mappedSize_, MADV_WILLNEED);

    const std::uint64_t features = std::uint64_t(h.cascades) * h.featuresPerCascade;
    const auto* anchors = reinterpret_cast<const std::uint32_t*>(model->base_ + layout->anchors);
    for (std::uint64_t i = 0; i < features; ++i) {
        if (anchors[i] >= h.parts) {
            problem = damaged("a pixel is anchored to a face point it does not have");
            return nullptr;
        }
    }
    const std::uint64_t splits =
        std::uint64_t(h.cascades) * h.treesPerCascade * h.splitsPerTree;
    const auto* split = reinterpret_cast<const PreparedSplit*>(model->base_ + layout->splits);
    for (std::uint64_t i = 0; i < splits; ++i) {
        if (split[i].idx1 >= h.featuresPerCascade || split[i].idx2 >= h.featuresPerCascade) {
            problem = damaged("a tree compares a pixel the model does not have");
            return nullptr;
        }
    }
    return model;
}

const std::uint32_t* MappedShapeModel::anchors(std::size_t cascade) const {
    return reinterpret_cast<const std::uint32_t*>(base_ + layout_.anchors) +
           cascade * header_.featuresPerCascade;
}

const float* MappedShapeModel::deltas(std::size_t cascade) const {
    return floatsAt(layout_.deltas) + cascade * header_.featuresPerCascade * 2;
}

void MappedShapeModel::addCascade(std::size_t cascade, const float* features,
                                  float* shape) const {
    const std::size_t splitCount = header_.splitsPerTree;
    const std::size_t width = shapeSize();
    const std::size_t firstTree = cascade * header_.treesPerCascade;
    const auto* splits = reinterpret_cast<const PreparedSplit*>(base_ + layout_.splits);
    const float* leaves = floatsAt(layout_.leaves);
    for (std::size_t t = firstTree; t < firstTree + header_.treesPerCascade; ++t) {
        const PreparedSplit* tree = splits + t * splitCount;
        // dlib's regression_tree::operator(): the same comparison in float, the same children.
        std::size_t i = 0;
        while (i < splitCount) {
            const PreparedSplit& s = tree[i];
            i = features[s.idx1] - features[s.idx2] > s.thresh ? 2 * i + 1 : 2 * i + 2;
        }
        const float* leaf = leaves + (t * (splitCount + 1) + (i - splitCount)) * width;
        for (std::size_t k = 0; k < width; ++k) shape[k] += leaf[k];
    }
}

}  // namespace passport
