#include "el/system/frame_timing.h"

#include <cstring>

#include "el/draw/error_box.h"
#include "platform/clock.h"

namespace elSystem {

namespace {

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
    const std::uint32_t start = platform::timeGetTime();
    WaitSlot[0] = start + milliseconds;
    // Measured from the start, so a deadline at the top of the 32-bit range still ends.
    while (platform::timeGetTime() - start <= milliseconds) platform::PollPause();
    ResetFrameTimer();
}

void ClearWaits() {
    WaitSlot.fill(kWaitNotSet);
}

const char* GetCommandLineText() {
    return CommandLine.data();
}

void SetCommandLineText(const char* text) {
    CommandLine.fill('\0');
    if (text == nullptr) return;
    std::size_t length = std::strlen(text);
    if (length >= kCommandLineSize) {
        length = kCommandLineSize - 1;
        // Do not leave half a UTF-8 character at the end.
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memcpy(CommandLine.data(), text, length);
}

}  // namespace elSystem
