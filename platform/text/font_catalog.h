// Which installed face draws a font: the two Japanese face names go to the IPA faces, other names
// to fontconfig's choice for the name and the character set. A stand-in is reported once per
// name on standard error.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/text/font.h"

namespace platform::text {

struct FaceFile {
    std::string path;
    int index = 0;
    std::string family;
    bool bold = false;    // the face is bold by itself
    bool italic = false;  // the face slants by itself
};

std::optional<FaceFile> FindFace(const FontSpec& spec);

// The faces asked for characters the chosen face lacks: a Japanese face, then a Latin one.
const std::vector<FaceFile>& StandInFaces();

}  // namespace platform::text
