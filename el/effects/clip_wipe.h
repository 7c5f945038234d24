// Wipes that reveal or hide the picture by moving the edges of the clip rectangle. No pixel is
// touched: every blit clips to ClipRect, so moving its edges a little each frame opens or
// closes the drawn part of the screen.
#pragma once

#include <cstdint>

#include "platform/rect.h"

namespace elDraw {

// 0 idle, 1 opening, 2 closing, -1 closed (ClipRect collapsed, the full clip in WipeRect).
extern std::int32_t& WipeState;
// The clip saved when the wipe started: the wipe's full extent.
extern platform::Rect& WipeRect;
// The running wipe's arguments as StartWipe took them (the type after the random pick).
extern std::int32_t& WipeClosing;
extern std::int32_t& WipeType;
extern float& WipeSpeed;
extern std::int32_t& WipeBand;
// Set to 1 when an opening or a closing wipe finishes; both cleared when a wipe starts.
extern std::int32_t& WipeOpened;
extern std::int32_t& WipeClosed;

inline constexpr std::int32_t kWipeTypeCount = 9;

// Starts a wipe over the current clip: closing 0 opens, anything else closes; type 1..9, or 0
// for one picked with rand(); speed in pixels per second; band the slit of types 8 and 9 (a
// negative band counts as 0, one wider than the clip as the whole clip). A closed clip is
// restored first. Returns 0 and changes nothing while a wipe runs or for a type outside 0..9.
int StartWipe(std::int32_t closing, std::int32_t type, float speed, std::int32_t band);

// Moves the running wipe on by one frame of FrameDelta seconds (at least one pixel, at most
// the saved clip's width plus height plus one). Returns 0 when no wipe is running.
int StepWipe();

// Hides everything at once and leaves the wipe closed. A clip already saved by a running or
// closed wipe is kept, so the next StartWipe still brings back the full clip.
void CollapseClip();

// A scene change abandons a running wipe: the full clip comes back.
void CancelWipe();

}  // namespace elDraw
