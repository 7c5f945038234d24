#include "el/system/frame_timing.h"

#include <cstring>

#include "el/draw/error_box.h"
#include "platform/clock.h"

namespace elSystem {

std::uint32_t LastPassTime;
float FrameDelta;
std::uint32_t BlinkDeadline;
std::uint32_t FpsDeadline;
std::array<std::uint32_t, kWaitCount + 1> WaitSlot{};

namespace {

constexpr std::size_t kCommandLineSize = 256;
std::array<char, kCommandLineSize> commandLine{};

bool ValidWait(int n) {
    return n >= 1 && n <= kWaitCount;
}

}  // namespace

void StaticStartup() {
    LastPassTime = platform::timeGetTime();
    BlinkDeadline = platform::timeGetTime() + 1000;
    FpsDeadline = platform::timeGetTime();
}

void ResetFrameTimer() {
    FrameDelta = 0;
    LastPassTime = platform::timeGetTime();
}

void UpdateFrameDelta() {
    const std::uint32_t elapsed = platform::timeGetTime() - LastPassTime;
    FrameDelta = static_cast<float>(static_cast<double>(elapsed) / 1000.0);
    LastPassTime = platform::timeGetTime();
}

std::int32_t TickIncrement() {
    return static_cast<std::int32_t>(static_cast<double>(FrameDelta) * 100.0);
}

int SetWait(int n, std::uint32_t milliseconds) {
    if (!ValidWait(n)) return elDraw::ErrorBox("elSystem::SetWait", "ウェイトNoが範囲外です", 0);
    WaitSlot[static_cast<std::size_t>(n)] = platform::timeGetTime() + milliseconds;
    return 1;
}

int InitWait(int n) {
    if (!ValidWait(n)) return elDraw::ErrorBox("elSystem::InitWait", "ウェイトNoが範囲外です", 0);
    WaitSlot[static_cast<std::size_t>(n)] = kWaitNotSet;
    return 1;
}

int IsWaitOver(int n) {
    if (!ValidWait(n)) return 1;
    return platform::timeGetTime() > WaitSlot[static_cast<std::size_t>(n)] ? 1 : 0;
}

void BusyWait(std::uint32_t milliseconds) {
    WaitSlot[0] = platform::timeGetTime() + milliseconds;
    while (platform::timeGetTime() <= WaitSlot[0]) {
    }
    ResetFrameTimer();
}

void ClearWaits() {
    WaitSlot.fill(kWaitNotSet);
}

const char* GetCommandLineText() {
    return commandLine.data();
}

void SetCommandLineText(const char* text) {
    commandLine.fill('\0');
    if (text == nullptr) return;
    std::size_t length = std::strlen(text);
    if (length >= kCommandLineSize) {
        length = kCommandLineSize - 1;
        // Do not leave half a UTF-8 character at the end.
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memcpy(commandLine.data(), text, length);
}

void ResetFrameTiming() {
    LastPassTime = 0;
    FrameDelta = 0;
    BlinkDeadline = 0;
    FpsDeadline = 0;
    WaitSlot.fill(0);
    commandLine.fill('\0');
}

}  // namespace elSystem
