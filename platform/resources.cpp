#include "platform/resources.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/executable_path.h"
#include "platform/file_read.h"

namespace platform {
namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// The length of the well-formed UTF-8 sequence at the start of `text` (Unicode's table of
// well-formed byte sequences: no overlong forms, no surrogates, nothing above U+10FFFF); 0 when
// there is none.
std::size_t SequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

// Why a title cannot be used, or empty when it can.
std::string TitleRefusal(std::string_view text) {
    if (text.empty()) return "an empty title";
    if (text.size() > kMaxTitleBytes) {
        return "a title longer than " + std::to_string(kMaxTitleBytes) + " bytes";
    }
    while (!text.empty()) {
        const auto lead = static_cast<unsigned char>(text[0]);
        if (lead < 0x20 || lead == 0x7F) return "a title with a control character or two lines";
        if (lead < 0x80) {
            text.remove_prefix(1);
            continue;
        }
        const std::size_t length = SequenceLength(text);
        if (length == 0) return "a title that is not valid UTF-8";
        // U+0080 to U+009F, the C1 controls.
        if (lead == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0) {
            return "a title with a control character or two lines";
        }
        text.remove_prefix(length);
    }
    return {};
}

// The title in a TITLE file's bytes, one line break at the end allowed; `refusal` says why
// when they cannot be used.
std::string TitleFromBytes(std::string text, std::string* refusal) {
    if (text.ends_with('\n')) text.pop_back();
    if (text.ends_with('\r')) text.pop_back();
    *refusal = TitleRefusal(text);
    return text;
}

// A title built in with the pictures (a page made for someone else has no file beside it),
// held to the same rules as the file; else the show's own.
std::string BuiltInTitle(std::string_view showTitle) {
    const auto bytes = FindResource("TITLE", RT_RCDATA);
    if (!bytes) return std::string(showTitle);
    std::string refusal = "a title longer than " + std::to_string(kMaxTitleBytes) + " bytes";
    std::string text;
    if (bytes->size() <= kMaxTitleBytes + 2) {
        text = TitleFromBytes(std::string(bytes->begin(), bytes->end()), &refusal);
    }
    if (refusal.empty()) return text;
    std::string line = std::string(program_invocation_short_name) + ": the built-in TITLE: ";
    line.append(refusal).append("; using the show's title instead\n");
    std::fputs(line.c_str(), stderr);
    return std::string(showTitle);
}

}  // namespace

std::string ProgramTitle(std::string_view builtIn) {
    const std::string executable = ExecutablePath();
    const std::size_t slash = executable.rfind('/');
    if (slash == std::string::npos) return BuiltInTitle(builtIn);
    const std::string path = executable.substr(0, slash + 1) + "TITLE";
    std::vector<std::uint8_t> bytes;
    // Room for a line break (CR LF) after the longest title.
    const FileReadError error = ReadRegularFile(path, kMaxTitleBytes + 2, &bytes);
    if (error == FileReadError::Missing) return BuiltInTitle(builtIn);
    std::string refusal;
    std::string text;
    if (error == FileReadError::TooLarge) {
        refusal = "a title longer than " + std::to_string(kMaxTitleBytes) + " bytes";
    } else if (error != FileReadError::None) {
        refusal = FileReadErrorText(error);
    } else {
        text = TitleFromBytes(std::string(bytes.begin(), bytes.end()), &refusal);
    }
    if (refusal.empty()) return text;
    ReportUnusableProgramFile(path, refusal, "TITLE", true);
    return BuiltInTitle(builtIn);
}

std::size_t NameUnits(std::string_view utf8) {
    std::size_t units = 0;
    while (!utf8.empty()) {
        const std::size_t length =
            static_cast<unsigned char>(utf8[0]) < 0x80 ? 0 : SequenceLength(utf8);
        units += length == 0 ? 1 : 2;
        utf8.remove_prefix(length == 0 ? 1 : length);
    }
    return units;
}

std::optional<std::span<const std::uint8_t>> FindResource(std::string_view name,
                                                          std::string_view type) {
    for (const ResourceEntry& entry : BuiltInResources()) {
        if (SameIgnoringCase(entry.name, name) && SameIgnoringCase(entry.type, type)) {
            return std::span<const std::uint8_t>(entry.begin, entry.end);
        }
    }
    return std::nullopt;
}

void ReportUnusableProgramFile(std::string_view path, std::string_view reason,
                               std::string_view name, bool builtInUsed) {
    std::string line = std::string(program_invocation_short_name) + ": ";
    line.append(path).append(": ").append(reason);
    line.append(builtInUsed ? "; using the built-in " : "; there is no built-in ");
    line.append(name).append(builtInUsed ? " instead\n" : " either\n");
    std::fputs(line.c_str(), stderr);
}

}  // namespace platform
