#include "platform/messages.h"

#include <deque>

#include "platform/host.h"

namespace platform {
namespace {

struct QueueState {
    std::deque<Msg> queue;
    WindowProc proc = nullptr;
};
QueueState state;

}  // namespace

void SetWindowProc(WindowProc proc) {
    state.proc = proc;
}

void PostMessage(std::uint32_t message, WParam wParam, LParam lParam) {
    state.queue.push_back(Msg{message, wParam, lParam});
}

void PostQuitMessage(int exitCode) {
    PostMessage(WM_QUIT, static_cast<WParam>(exitCode), 0);
}

bool PeekMessage(Msg& msg) {
    if (state.queue.empty() && HasHost()) CurrentHost().PumpEvents();
    if (state.queue.empty()) return false;
    msg = state.queue.front();
    state.queue.pop_front();
    return true;
}

void WaitMessage() {
    if (!state.queue.empty() || !HasHost()) return;
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
    return !state.queue.empty();
}

void ResetMessageQueue() {
    state.queue.clear();
}

}  // namespace platform
