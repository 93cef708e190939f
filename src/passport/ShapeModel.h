#pragma once

// The 68-point landmark model as this program prepares it at build time (PrepareFaceModel.cpp)
// from dlib's shape_predictor_68_face_landmarks.dat: the same numbers, laid out flat so that
// the file is mapped and checked in a few milliseconds instead of decoded for half a second.
// No dlib here: the writer and the face finder both include it.
//
// The file, in the byte order of the machine that wrote it (the mark tells):
//   PreparedModelHeader                                  64 bytes
//   the initial shape                                    parts x 2 floats (x, y)
//   each cascade's anchors                               cascades x features uint32
//   each cascade's deltas                                cascades x features x 2 floats
//   every split of every tree, cascade by cascade,      cascades x trees x splits PreparedSplit
//     tree by tree, in dlib's order (node i's children at 2i+1, 2i+2)
//   every leaf, likewise, from a 64-byte boundary        cascades x trees x (splits + 1) x
//                                                          parts x 2 floats
// The splits lie together so that checking their indices reads a megabyte, not the whole file;
// a landmark fit then touches one leaf in each tree.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace passport {

inline constexpr char kPreparedModelMagic[8] = {'P', 'R', 'T', 'K', 'L', 'M', '6', '8'};
inline constexpr std::uint32_t kPreparedModelVersion = 1;
// Written as the writer's machine stores it: a file made on a machine of the other byte order
// is refused (the build makes the file on the machine it builds for).
inline constexpr std::uint32_t kPreparedModelByteOrder = 0x01020304u;

struct PreparedModelHeader {
    char magic[8];
    std::uint32_t version;
    std::uint32_t byteOrder;
    std::uint32_t parts;               // landmarks; the shape holds twice as many floats
    std::uint32_t cascades;
    std::uint32_t treesPerCascade;
    std::uint32_t splitsPerTree;       // every tree full: splits + 1 leaves, a power of two
    std::uint32_t featuresPerCascade;  // the pixels each cascade compares
    std::uint32_t reserved;            // 0
    std::uint64_t fileSize;
    std::uint8_t padding[16];          // 0
};
static_assert(sizeof(PreparedModelHeader) == 64);

// One node of a tree: left child when features[idx1] - features[idx2] > thresh.
struct PreparedSplit {
    std::uint16_t idx1;
    std::uint16_t idx2;
    float thresh;
};
static_assert(sizeof(PreparedSplit) == 8);

// Where each section starts, in bytes from the file's start, and the file's size.
struct PreparedModelLayout {
    std::uint64_t initialShape, anchors, deltas, splits, leaves, size;
};

// The layout the header's counts give, or nothing when a count is out of range (none, too
// many for a 16-bit feature index, or trees that are not full). Never overflows.
std::optional<PreparedModelLayout> preparedModelLayout(const PreparedModelHeader& header);

// A prepared model file mapped read-only and checked: every index it holds lies in range, so
// the walk below reads nothing outside the file whatever the file holds.
class MappedShapeModel {
  public:
    ~MappedShapeModel();
    MappedShapeModel(const MappedShapeModel&) = delete;
    MappedShapeModel& operator=(const MappedShapeModel&) = delete;

    // True when the file at `path` starts with the prepared model's magic.
    static bool isPrepared(const std::string& path);

    // Maps and checks the file. Null when it cannot be read or is not a sound prepared model,
    // with the reason in `problem` ("there is no such file", "the file is damaged (...)").
    static std::unique_ptr<MappedShapeModel> open(const std::string& path, std::string& problem);

    const PreparedModelHeader& header() const { return header_; }
    std::size_t shapeSize() const { return std::size_t(header_.parts) * 2; }

    const float* initialShape() const { return floatsAt(layout_.initialShape); }
    const std::uint32_t* anchors(std::size_t cascade) const;
    const float* deltas(std::size_t cascade) const;  // x, y pairs

    // Runs the trees of `cascade` over `features` (featuresPerCascade values) and adds each
    // tree's leaf to `shape` (shapeSize() floats), tree after tree, as dlib's predictor does.
    void addCascade(std::size_t cascade, const float* features, float* shape) const;

  private:
    MappedShapeModel() = default;
    const float* floatsAt(std::uint64_t offset) const {
        return reinterpret_cast<const float*>(base_ + offset);
    }
    const unsigned char* base_ = nullptr;
    std::size_t mappedSize_ = 0;
    PreparedModelHeader header_{};
    PreparedModelLayout layout_{};
};

}  // namespace passport
