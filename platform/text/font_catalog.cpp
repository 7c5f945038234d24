#include "platform/text/font_catalog.h"

#include <fontconfig/fontconfig.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string_view>
#include <tuple>

namespace platform::text {
namespace {

struct Mapped {
    std::string_view name;
    const char* family;
    const char* generic;
    const char* package;
};
constexpr std::array<Mapped, 2> kMappedFaces = {{
    {kMinchoName, "IPAMincho", "serif", "fonts-ipafont-mincho"},
    {kGothicName, "IPAGothic", "sans-serif", "fonts-ipafont-gothic"},
}};

// One line on standard error, once per face name in a run of the program.
void ReportOnce(const std::string& name, const std::string& line) {
    static std::set<std::string> reported;
    if (!reported.insert(name).second) return;
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, line.c_str());
}

std::optional<FaceFile> LookUp(const FontSpec& spec);

struct Match {
    FaceFile face;
    // The face named, or one the configuration binds to the name as its equal (the metric twins
    // of a well-known face); fontconfig's weak guesses after those are stand-ins.
    bool asked = false;
};

std::optional<Match> MatchFamily(const std::string& family, const char* lang, bool bold,
                                 bool italic) {
    static const bool ready = [] {
        if (FcInit() != FcTrue) return false;
        std::atexit(FcFini);  // nothing of it outlives the program, for the leak checker's sake
        return true;
    }();
    if (!ready) return std::nullopt;
    FcPattern* pattern = FcPatternCreate();
    if (!family.empty()) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    }
    FcLangSet* langs = FcLangSetCreate();
    FcLangSetAdd(langs, reinterpret_cast<const FcChar8*>(lang));
    FcPatternAddLangSet(pattern, FC_LANG, langs);
    FcLangSetDestroy(langs);
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(nullptr, pattern, &result);
    std::optional<Match> match;
    FcChar8* file = nullptr;
    if (found != nullptr && FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch) {
        match.emplace();
        match->face.path = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(found, FC_INDEX, 0, &match->face.index);
        FcChar8* name = nullptr;
        if (FcPatternGetString(found, FC_FAMILY, 0, &name) == FcResultMatch) {
            match->face.family = reinterpret_cast<const char*>(name);
        }
        // fontconfig offers a regular face for a bold or italic request with a note to embolden or
        // slant it: such a face is not bold or italic by itself.
        int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
        FcBool embolden = FcFalse;
        FcMatrix* matrix = nullptr;
        FcPatternGetInteger(found, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(found, FC_SLANT, 0, &slant);
        FcPatternGetBool(found, FC_EMBOLDEN, 0, &embolden);
        const bool slanted = FcPatternGetMatrix(found, FC_MATRIX, 0, &matrix) == FcResultMatch;
        match->face.bold = weight >= FC_WEIGHT_DEMIBOLD && embolden != FcTrue;
        match->face.italic = slant != FC_SLANT_ROMAN && !slanted;
        FcPatternIter iter;
        if (FcPatternFindIter(pattern, &iter, FC_FAMILY)) {
            const int count = FcPatternIterValueCount(pattern, &iter);
            for (int i = 0; i < count && !match->asked; ++i) {
                FcValue wanted;
                FcValueBinding binding = FcValueBindingWeak;
                if (FcPatternIterGetValue(pattern, &iter, i, &wanted, &binding) != FcResultMatch ||
                    wanted.type != FcTypeString || binding == FcValueBindingWeak) {
                    continue;
                }
                for (int k = 0; FcPatternGetString(found, FC_FAMILY, k, &name) == FcResultMatch;
                     ++k) {
                    if (FcStrCmpIgnoreCase(wanted.u.s, name) == 0) match->asked = true;
                }
            }
        }
    }
    if (found != nullptr) FcPatternDestroy(found);
    FcPatternDestroy(pattern);
    return match;
}

}  // namespace

std::optional<FaceFile> FindFace(const FontSpec& spec) {
    // A font of every size and angle asks the same question; fontconfig answers it once.
    using Question = std::tuple<std::string, std::uint8_t, bool, bool>;
    static std::map<Question, std::optional<FaceFile>> answers;
    const Question question{spec.face, spec.charset, spec.weight >= 600, spec.italic};
    if (const auto known = answers.find(question); known != answers.end()) return known->second;
    return answers[question] = LookUp(spec);
}

namespace {

std::optional<FaceFile> LookUp(const FontSpec& spec) {
    const bool bold = spec.weight >= 600;
    const char* lang = spec.charset == kShiftJisCharset ? "ja" : "en";
    for (const Mapped& mapped : kMappedFaces) {
        if (spec.face != mapped.name) continue;
        if (auto match = MatchFamily(mapped.family, "ja", bold, spec.italic);
            match && match->asked) {
            return match->face;
        }
        auto standIn = MatchFamily(mapped.generic, "ja", bold, spec.italic);
        ReportOnce(spec.face, spec.face + " is drawn in " + mapped.family + " (Debian package " +
                                  mapped.package + "), which is not installed; " +
                                  (standIn ? "drawing it in " + standIn->face.family + " instead"
                                           : std::string("its text is not drawn")));
        if (standIn) return standIn->face;
        return std::nullopt;
    }
    // A blank name asks for the default face of the character set.
    std::string family = spec.face;
    if (family.empty()) family = spec.charset == kShiftJisCharset ? "IPAGothic" : "sans-serif";
    auto match = MatchFamily(family, lang, bold, spec.italic);
    if (!match) {
        ReportOnce(spec.face, "no installed font can draw the face \"" + spec.face +
                                  "\"; its text is not drawn");
        return std::nullopt;
    }
    if (!match->asked && !spec.face.empty()) {
        ReportOnce(spec.face, "no font named \"" + spec.face + "\" is installed; drawing it in " +
                                  match->face.family + " instead");
    }
    return match->face;
}

}  // namespace

const std::vector<FaceFile>& StandInFaces() {
    static const std::vector<FaceFile> faces = [] {
        std::vector<FaceFile> list;
        for (const auto& [family, lang] :
             {std::pair{"IPAGothic", "ja"}, std::pair{"DejaVu Sans", "en"}}) {
            if (auto match = MatchFamily(family, lang, false, false)) {
                list.push_back(match->face);
            }
        }
        return list;
    }();
    return faces;
}

}  // namespace platform::text
