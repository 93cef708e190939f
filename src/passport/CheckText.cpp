// The check's results in words: names, verdicts, and the plain-text list the window and the
// command-line program both show.
#include <algorithm>
#include <array>

#include "passport/Check.h"

namespace passport {

namespace {

// Characters, not bytes: "°" and "–" take two and three bytes in UTF-8 but one column.
std::size_t columns(const std::string& text) {
    return std::size_t(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xc0) != 0x80;
    }));
}

std::string padded(const std::string& text, std::size_t width) {
    return text + std::string(width - std::min(width, columns(text)), ' ');
}

}  // namespace

std::string criterionName(Criterion criterion) {
    static const std::array<const char*, kCriterionCount> names = {
        "One face",    "Head height, chin to crown",
        "Face width",  "Centred",
        "Eyes level",  "Eye line",
        "Whole photo", "Resolution",
        "In colour",   "Not edited",
        "Sharp",       "Background",
        "Exposure"};
    const auto index = std::size_t(criterion);
    return index < names.size() ? names[index] : "?";
}

std::string verdictText(Verdict verdict) {
    switch (verdict) {
        case Verdict::Pass:
            return "pass";
        case Verdict::Fail:
            return "FAIL";
        case Verdict::CannotTell:
            return "cannot tell";
    }
    return "?";
}

bool nothingFails(const std::vector<CriterionCheck>& checks) {
    return std::none_of(checks.begin(), checks.end(),
                        [](const CriterionCheck& c) { return c.verdict == Verdict::Fail; });
}

std::vector<std::string> checkLines(const std::vector<CriterionCheck>& checks) {
    std::size_t nameWidth = 0, measuredWidth = 0, limitWidth = 0;
    for (const CriterionCheck& c : checks) {
        nameWidth = std::max(nameWidth, columns(criterionName(c.criterion)));
        measuredWidth = std::max(measuredWidth, columns(c.measured));
        limitWidth = std::max(limitWidth, columns(c.limit));
    }
    std::vector<std::string> lines;
    for (const CriterionCheck& c : checks) {
        lines.push_back(padded(criterionName(c.criterion), nameWidth + 2) +
                        padded(c.measured, measuredWidth + 2) + padded(c.limit, limitWidth + 2) +
                        verdictText(c.verdict));
    }
    lines.push_back(outcomeLine(checks));
    return lines;
}

std::string outcomeLine(const std::vector<CriterionCheck>& checks) {
    std::string failing, unknown;
    for (const CriterionCheck& c : checks) {
        std::string& list = c.verdict == Verdict::Fail ? failing : unknown;
        if (c.verdict == Verdict::Pass) continue;
        list += (list.empty() ? "" : ", ") + criterionName(c.criterion);
    }
    std::string line = failing.empty() ? "Nothing fails." : "Fails: " + failing + ".";
    if (!unknown.empty()) line += " Cannot tell: " + unknown + ".";
    return line + " The counter has the final word.";
}

}  // namespace passport
