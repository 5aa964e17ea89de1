// The page around the program: its canvas and the WebGL context on it, the window's size in
// device pixels, full screen through the browser's own API, and the few things the page shows
// (a message in plain words, the title, the frame counts that the tests read).
#pragma once

#include <cstdint>
#include <string>

namespace browser {

// The URL's search part ("?seed=1&..."), or empty, with the settings a wallpaper program gave
// the page before the program started put over it.
std::string PageQuery();

// The program runs: from now on the page hands a host's changes and pauses to it (zorvik_retune,
// zorvik_pause), and a pause that came before is handed over at once.
void Started();

// Creates the WebGL 1 context on the page's canvas and makes it current; false when the browser
// has no WebGL.
bool CreateContext();
// Called when the context is lost and when it is back; lost() until then.
void WatchContext(void (*lost)(), void (*restored)());
bool MakeCurrent();

// The drawing size: the canvas's size on the page in device pixels, or `fixed` when non-zero
// (the canvas is then shown at that many device pixels). The canvas's buffer follows it.
void DrawingSize(int32_t fixedWidth, int32_t fixedHeight, int32_t* width, int32_t* height);

// Whether the context can draw a fixed size: within its largest viewport and renderbuffer, and
// given a drawing buffer that large by the browser (which shrinks one it cannot afford). Else
// false with the reason in words. Needs the context; sizes the canvas when it fits.
bool FitsContext(int32_t width, int32_t height, std::string* why);

void ToggleFullScreen();
bool IsFullScreen();

// F1 and a double click, in the page; `toggle` is called from within the user's own event, so
// that the browser lets the page go full screen.
void WatchFullScreenRequests(void (*toggle)());

// The message shown instead of the city.
void ShowMessage(const std::string& text);
void SetTitle(const std::string& title);
// The frames shown and the animation's steps so far, for the tests to read.
void PublishFrame(uint32_t frames, uint64_t steps);

// Hands the frame just drawn to the page, top row first, for the tests to compare (a stopped page).
void PublishPicture(int32_t width, int32_t height);

// Milliseconds since the page began loading.
double Now();

} // namespace browser
