#include "el/system/system_state.h"

#include <array>
#include <cstdint>
#include <memory>

#include "el/system/font_block.h"
#include "el/system/frame_timing.h"
#include "el/system/input_state.h"
#include "el/system/joystick.h"
#include "el/system/key_state.h"
#include "el/system/program_directory.h"
#include "el/system/scroll_page_state.h"
#include "el/system/settings_files.h"
#include "el/system/text_state.h"
#include "el/system/transition_counter.h"
#include "platform/rect.h"

namespace elSystem {
namespace {

struct SystemState {
    // Filled by the window procedure, read during the next pass.
    std::int32_t MouseX = 0, MouseY = 0;
    std::int32_t PrevMouseX = 0, PrevMouseY = 0;
    std::int32_t MouseDeltaX = 0, MouseDeltaY = 0;
    std::int32_t LeftHeld = 0, RightHeld = 0;
    std::int32_t LeftClicked = 0, RightClicked = 0;
    std::int32_t ButtonHeld = 0;
    std::int32_t LastButton = 0;
    std::int32_t KeyHeld = 0;
    std::int32_t LastKey = 0;
    std::int32_t ScrollKey = 0;
    std::int32_t ShiftToggle = 0;
    std::int32_t CountedKey = 0, CountedKeyPresses = 0;
    std::int32_t InputSuspended = 0;
    std::int32_t SuspendedKey = 0;
    std::int32_t SuspendedClick = 0;
    std::int32_t ClientLeft = 0, ClientTop = 0;
    platform::Rect PresentRect{};
    std::int32_t CursorVisible = 1;
    std::int32_t CursorClipMode = 0;
    std::int32_t MessageBoxOpen = 0;
    std::int32_t CloseState = 0;
    std::int32_t SysKeysPass = 0;
    std::int32_t BlinkOn = 1;

    // Frame timing and the waits.
    std::uint32_t LastPassTime = 0;
    float FrameDelta = 0;
    std::uint32_t BlinkDeadline = 0;
    std::uint32_t FpsDeadline = 0;
    std::array<std::uint32_t, kWaitCount + 1> WaitSlot{};
    std::array<char, kCommandLineSize> CommandLine{};

    // The scroll-page layer and the cover's tiles.
    std::int32_t ScrollPageShown = 0;
    std::int32_t ScrollBackgroundObject = 0;
    std::int32_t ScrollPageObject = 0;
    float ScrollTileOffsetX = 0;
    float ScrollTileOffsetY = 0;
    float ScrollPagePosition = 0;
    std::int32_t ScrollPageLimit = 0;
    std::int32_t TileObject = 0;

    std::unique_ptr<FontBlock> Font;

    // The text run, the frame-rate line and the held device context. A fresh device context
    // draws black text on an opaque white background.
    std::int32_t TextRunOpen = 0;
    std::int32_t TextRunOwnsDC = 0;
    std::shared_ptr<platform::text::Font> TextRunFont;
    platform::ColorRef TextColor = 0x000000;
    platform::ColorRef TextBackColor = 0xFFFFFF;
    std::int32_t TextTransparent = 0;
    std::int32_t FramesCounted = 0;
    float FrameRate = 0;
    float HighestFrameRate = 0;
    float LowestFrameRate = 999.9f;
    std::array<char, 64> FrameRateText{};
    std::int32_t GdiHeld = 0;

    std::int32_t TransitionCounter = 0;

    // Paths: the buffer ProgramDirectory and SettingsDirectory return, and the settings folder.
    std::array<char, kPathBufferSize> PathBuffer{};
    std::array<char, kDataRootSize> DataRoot{};
    std::array<char, kPathBufferSize> LastDirectoryName{};
    std::array<char, kProgramNameSize> ProgramName{};

    // PollKeyRelease.
    std::int32_t PressReleaseState = 0;
    std::int32_t PressReleaseCode = 0;

    // The two joysticks.
    std::array<JoyRecord, kJoystickCount> JoyRecords{};
    std::array<JoyCalibration, kJoystickCount> JoyCalibrations{};
};

SystemState state;

}  // namespace

std::int32_t& MouseX = state.MouseX;
std::int32_t& MouseY = state.MouseY;
std::int32_t& PrevMouseX = state.PrevMouseX;
std::int32_t& PrevMouseY = state.PrevMouseY;
std::int32_t& MouseDeltaX = state.MouseDeltaX;
std::int32_t& MouseDeltaY = state.MouseDeltaY;
std::int32_t& LeftHeld = state.LeftHeld;
std::int32_t& RightHeld = state.RightHeld;
std::int32_t& LeftClicked = state.LeftClicked;
std::int32_t& RightClicked = state.RightClicked;
std::int32_t& ButtonHeld = state.ButtonHeld;
std::int32_t& LastButton = state.LastButton;
std::int32_t& KeyHeld = state.KeyHeld;
std::int32_t& LastKey = state.LastKey;
std::int32_t& ScrollKey = state.ScrollKey;
std::int32_t& ShiftToggle = state.ShiftToggle;
std::int32_t& CountedKey = state.CountedKey;
std::int32_t& CountedKeyPresses = state.CountedKeyPresses;
std::int32_t& InputSuspended = state.InputSuspended;
std::int32_t& SuspendedKey = state.SuspendedKey;
std::int32_t& SuspendedClick = state.SuspendedClick;
std::int32_t& ClientLeft = state.ClientLeft;
std::int32_t& ClientTop = state.ClientTop;
platform::Rect& PresentRect = state.PresentRect;
std::int32_t& CursorVisible = state.CursorVisible;
std::int32_t& CursorClipMode = state.CursorClipMode;
std::int32_t& MessageBoxOpen = state.MessageBoxOpen;
std::int32_t& CloseState = state.CloseState;
std::int32_t& SysKeysPass = state.SysKeysPass;
std::int32_t& BlinkOn = state.BlinkOn;

std::uint32_t& LastPassTime = state.LastPassTime;
float& FrameDelta = state.FrameDelta;
std::uint32_t& BlinkDeadline = state.BlinkDeadline;
std::uint32_t& FpsDeadline = state.FpsDeadline;
std::array<std::uint32_t, kWaitCount + 1>& WaitSlot = state.WaitSlot;
std::array<char, kCommandLineSize>& CommandLine = state.CommandLine;

std::int32_t& ScrollPageShown = state.ScrollPageShown;
std::int32_t& ScrollBackgroundObject = state.ScrollBackgroundObject;
std::int32_t& ScrollPageObject = state.ScrollPageObject;
float& ScrollTileOffsetX = state.ScrollTileOffsetX;
float& ScrollTileOffsetY = state.ScrollTileOffsetY;
float& ScrollPagePosition = state.ScrollPagePosition;
std::int32_t& ScrollPageLimit = state.ScrollPageLimit;
std::int32_t& TileObject = state.TileObject;

std::unique_ptr<FontBlock>& Font = state.Font;

std::int32_t& TextRunOpen = state.TextRunOpen;
std::int32_t& TextRunOwnsDC = state.TextRunOwnsDC;
std::shared_ptr<platform::text::Font>& TextRunFont = state.TextRunFont;
platform::ColorRef& TextColor = state.TextColor;
platform::ColorRef& TextBackColor = state.TextBackColor;
std::int32_t& TextTransparent = state.TextTransparent;
std::int32_t& FramesCounted = state.FramesCounted;
float& FrameRate = state.FrameRate;
float& HighestFrameRate = state.HighestFrameRate;
float& LowestFrameRate = state.LowestFrameRate;
std::array<char, 64>& FrameRateText = state.FrameRateText;
std::int32_t& GdiHeld = state.GdiHeld;

std::int32_t& TransitionCounter = state.TransitionCounter;

std::array<char, kPathBufferSize>& PathBuffer = state.PathBuffer;
std::array<char, kDataRootSize>& DataRoot = state.DataRoot;
std::array<char, kPathBufferSize>& LastDirectoryName = state.LastDirectoryName;
std::array<char, kProgramNameSize>& ProgramName = state.ProgramName;

std::int32_t& PressReleaseState = state.PressReleaseState;
std::int32_t& PressReleaseCode = state.PressReleaseCode;

std::array<JoyRecord, kJoystickCount>& JoyRecords = state.JoyRecords;
std::array<JoyCalibration, kJoystickCount>& JoyCalibrations = state.JoyCalibrations;

void ResetSystemState() {
    state = SystemState{};
}

}  // namespace elSystem
