#include "platform/messages.h"

#include <deque>
#include <mutex>

#include "platform/host.h"

namespace platform {
namespace {

// Posting may come from the audio thread (a song's end); everything else runs on the thread of
// the message loop. The lock guards the queue only, never a call out.
struct QueueState {
    std::mutex lock;
    std::deque<Msg> queue;
    WindowProc proc = nullptr;
};
QueueState state;

}  // namespace

void SetWindowProc(WindowProc proc) {
    state.proc = proc;
}

void PostMessage(std::uint32_t message, WParam wParam, LParam lParam) {
    const std::lock_guard guard(state.lock);
    state.queue.push_back(Msg{message, wParam, lParam});
}

void PostQuitMessage(int exitCode) {
    PostMessage(WM_QUIT, static_cast<WParam>(exitCode), 0);
}

bool PeekMessage(Msg& msg) {
    if (!HasPendingMessage() && HasHost()) CurrentHost().PumpEvents();
    const std::lock_guard guard(state.lock);
    if (state.queue.empty()) return false;
    msg = state.queue.front();
    state.queue.pop_front();
    return true;
}

void WaitMessage() {
    if (HasPendingMessage() || !HasHost()) return;
    CurrentHost().WaitEvents();
}

LResult DispatchMessage(const Msg& msg) {
    return SendMessage(msg.message, msg.wParam, msg.lParam);
}

LResult SendMessage(std::uint32_t message, WParam wParam, LParam lParam) {
    if (state.proc == nullptr) return DefWindowProc(message, wParam, lParam);
    return state.proc(message, wParam, lParam);
}

LResult DefWindowProc(std::uint32_t, WParam, LParam) {
    return 0;
}

bool HasPendingMessage() {
    const std::lock_guard guard(state.lock);
    return !state.queue.empty();
}

void ResetMessageQueue() {
    const std::lock_guard guard(state.lock);
    state.queue.clear();
}

}  // namespace platform
