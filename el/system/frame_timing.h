// The program's sense of time: the seconds between passes, the ten numbered waits, a blocking
// wait, and the shell's start-up time stamps. All times are timeGetTime() milliseconds; sums
// wrap modulo 2^32 and comparisons are plain unsigned ones.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace elSystem {

inline constexpr std::uint32_t kWaitNotSet = 999999999;
inline constexpr int kWaitCount = 10;
inline constexpr std::size_t kCommandLineSize = 256;

extern std::uint32_t& LastPassTime;
extern float& FrameDelta;
extern std::uint32_t& BlinkDeadline;
extern std::uint32_t& FpsDeadline;
// Slots 1..10 are the waits; index 0 is the busy-wait deadline.
extern std::array<std::uint32_t, kWaitCount + 1>& WaitSlot;
// The program's command line as WinMain was given it, always terminated.
extern std::array<char, kCommandLineSize>& CommandLine;

// The time stamps set before WinMain runs.
void StaticStartup();

// FrameDelta to 0, measured from now.
void ResetFrameTimer();
// FrameDelta: the seconds since the last call (the loop calls it once a pass).
void UpdateFrameDelta();
// The scene clocks' step: FrameDelta x 100, formed in double precision, truncated.
std::int32_t TickIncrement();

// Wait n (1..10) ends `milliseconds` from now. 0 after an error box for another n.
int SetWait(int n, std::uint32_t milliseconds);
// Wait n back to "not set" (never over). 0 after an error box for another n.
int InitWait(int n);
// 1 once the wait's deadline has passed. A number outside 1..10 names no wait and reads as
// over, so a caller polling it does not wait forever.
int IsWaitOver(int n);
// Blocks for the given milliseconds, then restarts the frame timer.
void BusyWait(std::uint32_t milliseconds);
// Every wait and the busy-wait deadline to "not set".
void ClearWaits();

// The command line the program was given.
const char* GetCommandLineText();
// Copies the command line into the 256-byte buffer, cut at a character boundary if longer.
void SetCommandLineText(const char* text);

}  // namespace elSystem
