// A build step: reads dlib's 68-point landmark model (shape_predictor_68_face_landmarks.dat)
// and writes it in the flat form of ShapeModel.h. Usage: portrik_prepare_face_model DAT OUT.
//
// dlib stores every float of the model as two variable-length integers, so reading its file
// takes half a second (more from a cold disk) on every start of the program; the flat file is
// mapped and checked in milliseconds. The members are read with dlib's own public functions,
// in the order dlib::deserialize(shape_predictor&) reads them, so the numbers are dlib's.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <dlib/image_processing/shape_predictor.h>

#include "passport/ShapeModel.h"

namespace {

using Forest = std::vector<dlib::impl::regression_tree>;

struct DlibModel {
    dlib::matrix<float, 0, 1> initialShape;
    std::vector<Forest> forests;
    std::vector<std::vector<unsigned long>> anchors;
    std::vector<std::vector<dlib::vector<float, 2>>> deltas;
};

DlibModel readDlib(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    DlibModel m;
    int version = 0;
    dlib::deserialize(version, in);
    if (version != 1) throw std::runtime_error("not version 1 of dlib's shape predictor");
    dlib::deserialize(m.initialShape, in);
    dlib::deserialize(m.forests, in);
    dlib::deserialize(m.anchors, in);
    dlib::deserialize(m.deltas, in);
    return m;
}

void require(bool holds, const std::string& what) {
    if (!holds) throw std::runtime_error(what);
}

template <typename T>
void put(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

std::string flatten(const DlibModel& m) {
    using passport::PreparedModelHeader;
    PreparedModelHeader h{};
    std::memcpy(h.magic, passport::kPreparedModelMagic, sizeof h.magic);
    h.version = passport::kPreparedModelVersion;
    h.byteOrder = passport::kPreparedModelByteOrder;
    require(m.initialShape.size() > 0 && m.initialShape.size() % 2 == 0, "odd initial shape");
    h.parts = std::uint32_t(m.initialShape.size() / 2);
    h.cascades = std::uint32_t(m.forests.size());
    require(!m.forests.empty() && !m.forests[0].empty(), "no trees");
    require(m.anchors.size() == m.forests.size() && m.deltas.size() == m.forests.size(),
            "as many pixel sets as cascades");
    h.treesPerCascade = std::uint32_t(m.forests[0].size());
    h.splitsPerTree = std::uint32_t(m.forests[0][0].splits.size());
    h.featuresPerCascade = std::uint32_t(m.anchors[0].size());
    for (std::size_t c = 0; c < m.forests.size(); ++c) {
        require(m.forests[c].size() == h.treesPerCascade, "the same number of trees each cascade");
        require(m.anchors[c].size() == h.featuresPerCascade &&
                    m.deltas[c].size() == h.featuresPerCascade,
                "the same number of pixels each cascade");
        for (const auto& tree : m.forests[c]) {
            require(tree.splits.size() == h.splitsPerTree, "the same depth for every tree");
            require(tree.leaf_values.size() == h.splitsPerTree + 1, "full trees");
            for (const auto& s : tree.splits) {
                require(s.idx1 < h.featuresPerCascade && s.idx2 < h.featuresPerCascade,
                        "split indices in range");
            }
            for (const auto& leaf : tree.leaf_values) {
                require(leaf.size() == m.initialShape.size(), "leaves of the shape's size");
            }
        }
        for (unsigned long a : m.anchors[c]) require(a < h.parts, "anchors in range");
    }
    const auto layout = passport::preparedModelLayout(h);
    require(layout.has_value(), "counts this format holds");
    h.fileSize = layout->size;

    std::string out;
    out.reserve(std::size_t(layout->size));
    put(out, h);
    for (long i = 0; i < m.initialShape.size(); ++i) put(out, float(m.initialShape(i)));
    for (const auto& cascade : m.anchors) {
        for (unsigned long a : cascade) put(out, std::uint32_t(a));
    }
    for (const auto& cascade : m.deltas) {
        for (const auto& d : cascade) {
            put(out, float(d.x()));
            put(out, float(d.y()));
        }
    }
    out.resize(std::size_t(layout->splits), '\0');
    for (const Forest& forest : m.forests) {
        for (const auto& tree : forest) {
            for (const auto& s : tree.splits) {
                put(out, passport::PreparedSplit{std::uint16_t(s.idx1), std::uint16_t(s.idx2),
                                                 s.thresh});
            }
        }
    }
    out.resize(std::size_t(layout->leaves), '\0');
    for (const Forest& forest : m.forests) {
        for (const auto& tree : forest) {
            for (const auto& leaf : tree.leaf_values) {
                for (long k = 0; k < leaf.size(); ++k) put(out, float(leaf(k)));
            }
        }
    }
    require(out.size() == layout->size, "the size the layout gives");
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: portrik_prepare_face_model DLIB_MODEL.dat OUT\n";
        return 2;
    }
    try {
        const std::string bytes = flatten(readDlib(argv[1]));
        // Written beside and renamed, so that a build stopped halfway leaves no short file.
        const std::string partial = std::string(argv[2]) + ".partial";
        {
            std::ofstream file(partial, std::ios::binary | std::ios::trunc);
            file.write(bytes.data(), std::streamsize(bytes.size()));
            file.close();
            if (!file) throw std::runtime_error("cannot write " + partial);
        }
        if (std::rename(partial.c_str(), argv[2]) != 0) throw std::runtime_error("cannot rename");
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "portrik_prepare_face_model: " << argv[1] << ": " << e.what() << "\n";
        return 1;
    }
}
