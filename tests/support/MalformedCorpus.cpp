#include "MalformedCorpus.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

std::filesystem::path malformedFolder() {
    if (const char* top = std::getenv("PORTRIK_SOURCE_DIR"); top && *top) {
        return std::filesystem::path(top) / "tests/data/malformed";
    }
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "data/malformed";
}

// "<file> refused <reason> ..." or "<file> loads <w>x<h> ...".
std::vector<CorpusFile> readMalformedCorpus() {
    std::vector<CorpusFile> list;
    std::ifstream in(malformedFolder() / "expectations.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        CorpusFile e;
        std::string outcome, detail;
        if (!(words >> e.file) || e.file[0] == '#' || !(words >> outcome)) continue;
        e.loads = outcome == "loads";
        words >> detail;
        if (e.loads) {
            char times = 0;
            std::istringstream(detail) >> e.width >> times >> e.height;
        } else {
            e.reason = detail;
        }
        list.push_back(e);
    }
    return list;
}

std::string reasonInWords(const CorpusFile& file) {
    if (file.reason == "damaged") return "is damaged or incomplete";
    if (file.reason == "not-a-picture") return "is not a JPEG, BMP or GIF picture";
    if (file.reason == "unsupported") return "is a kind of JPEG that cannot be loaded";
    const std::string megapixels = "megapixels=";
    if (file.reason.rfind(megapixels, 0) == 0) {
        return "has " + file.reason.substr(megapixels.size()) +
               " megapixels; at most 100 can be loaded";
    }
    return "(no reason listed for " + file.file + ")";
}

std::string corpusTestName(const std::string& file) {
    std::string name = file;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}
