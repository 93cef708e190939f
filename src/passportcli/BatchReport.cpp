#include "passportcli/BatchReport.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace passportcli {

namespace {

// The criteria's column names, in the order of passport::Criterion.
constexpr std::array<const char*, passport::kCriterionCount> kCriterionKeys = {
    "one_face",      "head_height",        "face_width",  "centred",      "eyes_level",
    "eye_line",      "whole_photo",        "resolution",  "in_colour",    "not_edited",
    "sharp",         "background",         "no_shadow",   "exposure",     "mouth_closed",
    "neutral_expression", "eyes_open",     "eyes_visible", "facing_camera", "no_reflections",
    "even_light",    "no_red_eyes"};

const char* keyOf(passport::Criterion criterion) {
    const auto index = std::size_t(criterion);
    return index < kCriterionKeys.size() ? kCriterionKeys[index] : "unknown";
}

// Numbers the same in every locale (the C library's printf follows the user's).
// Empty for a value that is no number.
std::string number(double value, int decimals) {
    if (!std::isfinite(value)) return {};
    char text[64];
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(text, end) : std::string();
}

std::string edgeNames(const passport::Overhang& o) {
    std::string edges;
    for (auto [on, name] : {std::pair{o.top, "top"}, std::pair{o.bottom, "bottom"},
                            std::pair{o.left, "left"}, std::pair{o.right, "right"}}) {
        if (on) edges += (edges.empty() ? "" : " ") + std::string(name);
    }
    return edges;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : " ") + part;
    return text;
}

// A photo's figures as (column, value) pairs; numbers unquoted in JSON.
struct Field {
    const char* name;
    std::string value;
    bool isNumber;
};

std::vector<Field> figureFields(const PhotoFigures* f) {
    const auto optional = [](const std::optional<double>& value, int decimals) {
        return value ? number(*value, decimals) : std::string();
    };
    if (!f) {
        return {{"head_height_mm", "", true},      {"face_width_mm", "", true},
                {"eye_line_percent", "", true},    {"space_above_head_mm", "", true},
                {"centre_offset_mm", "", true},    {"eye_tilt_degrees", "", true},
                {"levelled", "", false},           {"source_dpi", "", true},
                {"source_pixels_across", "", true}, {"below_400_dpi", "", false},
                {"crown", "", false},              {"faces_in_photo", "", true},
                {"colours", "", false},            {"filled_edges", "", false}};
    }
    const passport::Measures& m = f->measures;
    return {{"head_height_mm", number(m.headHeightMm, 2), true},
            {"face_width_mm", optional(m.faceWidthMm, 2), true},
            {"eye_line_percent",
             m.eyeLineFraction ? number(100 * *m.eyeLineFraction, 2) : std::string(), true},
            {"space_above_head_mm", number(m.spaceAboveHeadMm, 2), true},
            // Positive: the face's midline lies right of the photo's centre line.
            {"centre_offset_mm", number(m.centreOffsetMm, 2), true},
            // Positive: the right eye (as seen) lies lower.
            {"eye_tilt_degrees", optional(m.tiltDegrees, 2), true},
            {"levelled", f->levelled, false},
            {"source_dpi", number(f->sourceDpi, 0), true},
            {"source_pixels_across", number(f->sourceWidthPixels, 0), true},
            {"below_400_dpi", f->belowMinimumDpi ? "yes" : "no", false},
            {"crown", f->crownFound ? "found" : "estimated", false},
            {"faces_in_photo", std::to_string(f->facesInPhoto), true},
            {"colours", f->colour.empty() ? "sRGB" : f->colour, false},
            {"filled_edges", edgeNames(f->filled), false}};
}

std::string csvCell(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string cell = "\"";
    for (char c : text) cell += c == '"' ? std::string("\"\"") : std::string(1, c);
    return cell + "\"";
}

// A JSON string. Bytes that are not UTF-8 (a file name from an old camera card, say) become
// U+FFFD, so the report always parses.
std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
            ++i;
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
            ++i;
        } else if (c < 0x80) {
            out += char(c);
            ++i;
        } else {
            // A whole, shortest-form sequence of 2 to 4 bytes, or one replacement character.
            const int length = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : c >= 0xc2 ? 2 : 0;
            bool whole = length > 0 && c <= 0xf4 && i + length <= text.size();
            for (int k = 1; whole && k < length; ++k)
                whole = (static_cast<unsigned char>(text[i + k]) & 0xc0) == 0x80;
            if (whole && length >= 3) {
                const auto second = static_cast<unsigned char>(text[i + 1]);
                whole = !(c == 0xe0 && second < 0xa0) && !(c == 0xed && second >= 0xa0) &&
                        !(c == 0xf0 && second < 0x90) && !(c == 0xf4 && second >= 0x90);
            }
            if (whole) {
                out.append(text, i, std::size_t(length));
                i += std::size_t(length);
            } else {
                out += "\xef\xbf\xbd";
                ++i;
            }
        }
    }
    return out + "\"";
}

std::string orNull(const std::string& number) {
    return number.empty() ? "null" : number;
}

std::string verdictKey(passport::Verdict verdict) {
    switch (verdict) {
        case passport::Verdict::Pass: return "pass";
        case passport::Verdict::Fail: return "fail";
        case passport::Verdict::CannotTell: return "cannot tell";
    }
    return "cannot tell";
}

}  // namespace

std::string outcomeText(PhotoOutcome outcome) {
    switch (outcome) {
        case PhotoOutcome::Passed: return "passed";
        case PhotoOutcome::CheckFailed: return "check failed";
        case PhotoOutcome::NoFace: return "no face";
        case PhotoOutcome::SeveralFaces: return "several faces";
        case PhotoOutcome::Unreadable: return "unreadable";
        case PhotoOutcome::NotWritten: return "not written";
    }
    return "unknown";
}

std::string csvReport(const std::vector<PhotoResult>& results) {
    std::string text = "photo,status,error,files";
    for (const Field& field : figureFields(nullptr)) text += std::string(",") + field.name;
    for (const char* key : kCriterionKeys) text += std::string(",") + key + "," + key + "_measured";
    text += "\r\n";
    for (const PhotoResult& r : results) {
        text += csvCell(r.photo) + "," + outcomeText(r.outcome) + "," + csvCell(r.error) + "," +
                csvCell(joined(r.files));
        for (const Field& field : figureFields(r.figures ? &*r.figures : nullptr))
            text += "," + csvCell(field.value);
        for (std::size_t k = 0; k < kCriterionKeys.size(); ++k) {
            const passport::CriterionCheck* c = k < r.checks.size() ? &r.checks[k] : nullptr;
            text += "," + (c ? verdictKey(c->verdict) : std::string()) + "," +
                    (c ? csvCell(c->measured) : std::string());
        }
        text += "\r\n";
    }
    return text;
}

std::string jsonReport(const std::vector<PhotoResult>& results, bool complete) {
    std::string text = std::string("{\n  \"complete\": ") + (complete ? "true" : "false") +
                       ",\n  \"photos\": [";
    for (std::size_t i = 0; i < results.size(); ++i) {
        const PhotoResult& r = results[i];
        text += std::string(i ? "," : "") + "\n    {\"photo\": " + jsonString(r.photo) +
                ", \"status\": " + jsonString(outcomeText(r.outcome)) +
                ", \"error\": " + (r.error.empty() ? "null" : jsonString(r.error)) +
                ",\n     \"files\": [";
        for (std::size_t f = 0; f < r.files.size(); ++f)
            text += (f ? ", " : "") + jsonString(r.files[f]);
        text += "],\n     \"figures\": ";
        if (!r.figures) {
            text += "null";
        } else {
            text += "{";
            bool first = true;
            for (const Field& field : figureFields(&*r.figures)) {
                text += std::string(first ? "" : ", ") + jsonString(field.name) + ": " +
                        (field.isNumber ? orNull(field.value) : jsonString(field.value));
                first = false;
            }
            text += "}";
        }
        text += ",\n     \"checks\": [";
        for (std::size_t k = 0; k < r.checks.size(); ++k) {
            const passport::CriterionCheck& c = r.checks[k];
            text += std::string(k ? "," : "") + "\n       {\"criterion\": " +
                    jsonString(keyOf(c.criterion)) +
                    ", \"name\": " + jsonString(passport::criterionName(c.criterion)) +
                    ", \"verdict\": " + jsonString(verdictKey(c.verdict)) +
                    ", \"value\": " + orNull(c.value ? number(*c.value, 3) : "") +
                    ", \"unit\": " + jsonString(c.unit) + ", \"measured\": " +
                    jsonString(c.measured) + ", \"limit\": " + jsonString(c.limit) +
                    ", \"advice\": " +
                    (c.verdict == passport::Verdict::Fail ? jsonString(c.advice) : "null") + "}";
        }
        text += std::string(r.checks.empty() ? "" : "\n     ") + "]}";
    }
    return text + (results.empty() ? "" : "\n  ") + "]\n}\n";
}

}  // namespace passportcli
