// A build step: writes dlib's frontal face detector, unpacked and serialised, as a C++ source
// file (the path is the one argument). dlib keeps the detector compressed inside its library,
// and get_frontal_face_detector() spends about a second unpacking it on every call; reading
// the serialised form back takes a few milliseconds.
#include <fstream>
#include <sstream>

#include <dlib/image_processing/frontal_face_detector.h>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::ostringstream serialised;
    dlib::serialize(dlib::get_frontal_face_detector(), serialised);
    const std::string bytes = serialised.str();
    std::ofstream file(argv[1]);
    file << "// Made at build time by DumpFaceDetector.cpp from dlib's own face detector.\n"
            "#include <cstddef>\n\nnamespace passport {\n\n"
            "extern const unsigned char kFaceDetectorData[] = {\n";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        file << int(static_cast<unsigned char>(bytes[i])) << (i % 24 == 23 ? ",\n" : ",");
    }
    file << "};\nextern const std::size_t kFaceDetectorSize = sizeof kFaceDetectorData;\n\n"
            "}  // namespace passport\n";
    file.close();
    return file ? 0 : 1;
}
