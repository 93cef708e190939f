// The check's results in words: names, verdicts, and the plain-text list the window and the
// command-line program both show.
#include <algorithm>
#include <array>
#include <optional>

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

// At most `width` columns: cut at the last blank that leaves room for "…".
std::string cut(const std::string& text, std::size_t width) {
    if (columns(text) <= width) return text;
    std::size_t end = 0, seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xc0) == 0x80) continue;
        if (seen == width - 1) break;
        ++seen;
        end = i + 1;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xc0) == 0x80) ++end;
    }
    std::string head = text.substr(0, end);
    const std::size_t blank = head.rfind(' ');
    if (blank != std::string::npos && blank > width / 2) head.erase(blank);
    return head + "…";
}

}  // namespace

std::string criterionName(Criterion criterion) {
    static const std::array<const char*, kCriterionCount> names = {"One face",
                                                                   "Head height, chin to crown",
                                                                   "Face width",
                                                                   "Centred",
                                                                   "Eyes level",
                                                                   "Eye line",
                                                                   "Whole photo",
                                                                   "Resolution",
                                                                   "In colour",
                                                                   "Not edited",
                                                                   "Sharp",
                                                                   "Background",
                                                                   "No shadow on the background",
                                                                   "Exposure",
                                                                   "Mouth closed",
                                                                   "Neutral expression",
                                                                   "Eyes open",
                                                                   "Eyes visible",
                                                                   "Facing the camera",
                                                                   "No reflections",
                                                                   "Even light on the face",
                                                                   "No red eyes"};
    const auto index = std::size_t(criterion);
    return index < names.size() ? names[index] : "?";
}

std::string criterionAdvice(Criterion criterion) {
    static const std::array<const char*, kCriterionCount> advice = {
        "Frame one person only: no other face may show in the photo.",
        "Frame the head larger or smaller, and check that the crown and chin lines lie on "
        "the head.",
        "Frame the head larger or smaller so that the face width fits.",
        "Move the frame so that the face is in the middle.",
        "Hold the head straight, or let Portrik level the eyes (up to 10 degrees).",
        "Move the frame up or down so that the eyes lie in their band.",
        "Use a photo with more room round the head: the frame must stay inside it.",
        "Use a photo with more pixels, or one taken from nearer.",
        "Use a colour photo.",
        "Use the photo as the camera took it: no filters or retouching.",
        "Take a sharp photo: focus on the eyes and hold the camera still.",
        "Stand in front of a plain light grey, light blue or white wall.",
        "Stand further from the wall and light it evenly, so that no shadow falls on it.",
        "Light the face evenly: no burnt-out or black patches.",
        "Close your mouth and keep a neutral face.",
        "Keep a neutral face: no smile, lips together.",
        "Open both eyes and look into the camera.",
        "Take off sunglasses or tinted glasses and keep hair away from the eyes.",
        "Face the camera straight on, chin level.",
        "Tilt the glasses or move the light so the lenses show no glare.",
        "Light the face evenly from the front, with no shadow on one side.",
        "Retake without the flash straight at the eyes."};
    const auto index = std::size_t(criterion);
    return index < advice.size() ? advice[index] : "";
}

CriterionGroup groupOf(Criterion criterion) {
    return int(criterion) >= int(kFirstPersonCriterion) ? CriterionGroup::Person
                                                        : CriterionGroup::Photo;
}

std::string groupName(CriterionGroup group) {
    return group == CriterionGroup::Photo ? "The photo" : "The person";
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
    // The verdict first, so a failure is seen down the left edge; each line fits 80 columns:
    // the limit is left out where it does not fit, and an over-long measure is cut.
    constexpr std::size_t kWidth = 80;
    constexpr std::size_t kVerdictWidth = 13;  // "cannot tell" and two blanks
    std::vector<std::string> lines;
    std::optional<CriterionGroup> group;
    for (const CriterionCheck& c : checks) {
        if (group != groupOf(c.criterion)) {
            group = groupOf(c.criterion);
            lines.push_back(groupName(*group) + ":");
        }
        const std::string head =
            padded(verdictText(c.verdict), kVerdictWidth) + criterionName(c.criterion) + ": ";
        std::string line = head + c.measured + " (" + c.limit + ")";
        if (columns(line) > kWidth) line = head + c.measured;
        lines.push_back(cut(line, kWidth));
    }
    for (std::string& line : wrapped(outcomeLine(checks), kWidth)) lines.push_back(line);
    for (const CriterionCheck& c : checks) {
        if (c.verdict != Verdict::Fail || c.advice.empty()) continue;
        // Advice is never cut: it wraps, its further lines indented under the first.
        bool first = true;
        for (const std::string& part :
             wrapped(criterionName(c.criterion) + ": " + c.advice, kWidth - 4)) {
            lines.push_back((first ? "  " : "    ") + part);
            first = false;
        }
    }
    return lines;
}

std::vector<std::string> wrapped(const std::string& text, std::size_t width) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t to = text.find(' ', from);
        if (to == std::string::npos) to = text.size();
        const std::string word = text.substr(from, to - from);
        if (!line.empty() && columns(line) + 1 + columns(word) > width) {
            lines.push_back(line);
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        from = to + 1;
    }
    if (!line.empty()) lines.push_back(line);
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
