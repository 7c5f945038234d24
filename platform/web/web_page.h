// The page's side of the web host (web_host.js), as the program calls it. Events come as four
// numbers: a kind from WebEvent, then what the kind carries.
#pragma once

#include <cstdint>

namespace platform::web {

enum WebEvent : std::int32_t {
    kKeyDown = 1,      // virtual key, repeat (0/1), alt held (0/1)
    kKeyUp = 2,        // virtual key, 0, alt held
    kPointerMove = 3,  // picture x, y
    kButtonDown = 4,   // button (1 left, 2 right), picture x, y
    kButtonUp = 5,     // button, x, y
    kDoubleClick = 6,  // button, x, y
    kClose = 7,
    kActive = 8,  // 1 shown, 0 hidden
};

}  // namespace platform::web

extern "C" {
// Shows the card with the show's title and returns when the visitor has tapped it (or pressed
// a key): the moment browsers let a page start its sound.
void web_page_wait_for_open(const char* title);
// Whether the page checks itself (its address ends in #selftest): 0 no, 1 on the renderer's
// steady clock, 2 on the real one.
int web_page_self_test();
// The show has ended: the page says so.
void web_page_ended();
void web_page_set_title(const char* title);
// Fills event[4] with the next event and returns 1, or returns 0 when there is none.
int web_page_next_event(std::int32_t* event);
// Sleeps until the page's next animation frame.
void web_page_wait_frame();
// Sleeps until an event comes or `milliseconds` pass.
void web_page_wait_event(int milliseconds);
void web_page_present(const std::uint32_t* rgba, int width, int height);
// Called as each pass ends, with the milliseconds the program worked on it.
void web_page_pass_done(double workMilliseconds);
// Called as each pass starts, with the renderer's frame that shows the same moment of the show.
void web_page_pass_started(double moment);
void web_page_cursor(int visible);
int web_page_key_down(std::uint32_t virtualKey);
// Opens the page's sound (made when the card was tapped); 0 when the browser has none.
int web_page_open_audio();
void web_page_close_audio();
// A box the visitor answers: 0 an alert, 1 a question (OK/Yes or Cancel/No). Returns 1 for
// OK/Yes. A page that checks itself answers nothing and returns -1.
int web_page_message_box(const char* caption, const char* text, int question);
}
