#pragma once

// The damaged pictures of tests/data/malformed and what expectations.txt says of each: the size
// it loads at, or why it is refused.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

struct CorpusFile {
    std::string file;
    bool loads = false;
    int width = 0, height = 0;  // when it loads
    // When refused: "damaged", "not-a-picture", "unsupported" or "megapixels=<N>".
    std::string reason;
};

// Test failures name the file.
inline void PrintTo(const CorpusFile& file, std::ostream* out) {
    *out << file.file;
}

std::filesystem::path malformedFolder();

// The lines of expectations.txt, in order.
std::vector<CorpusFile> readMalformedCorpus();

// The reason of a refused file in the words of the message that refuses it ("is damaged or
// incomplete", "has 4290 megapixels; at most 100 can be loaded").
std::string reasonInWords(const CorpusFile& file);

// A file name as a test name: letters and digits only.
std::string corpusTestName(const std::string& file);
