// The page's URL parameters, read by the browser's host: those that are the program's own options
// in other words (seed, pace, fps, size) become its command line, so that the program reads and
// checks them as it does everywhere; the rest belong to the page.
//
//   seed=N      the random source's seed instead of the clock        --seed=N
//   pace=N      N steps per second (default 60); 0: one per frame    --pace=N
//   fps[=1]     frames and steps per second on the screen            --fps
//   stats[=1]   the same on the console every few seconds            --stats
//   size=WxH    a fixed drawing size instead of the window's pixels  --size=WxH
//               (not "desktop": the window's own pixels are the page's without size)
//   stop=N      draw the frame that zorvik-capture --frames N writes last, as it draws it (the
//               scene driven directly, N steps, no pacing), then stop; the title says "stopped N"
//   maxfps=N    at most N frames per second (the steps keep their pace); 0: no cap   --max-fps=N
//   awake[=1]   the page asks the browser to keep the display on while it is seen (the page's)
//   fault=...   light0..light3, glow or traffic: leave that out of the picture; only in the test
//               build (ZORVIK_PAGE_TESTS), never in the page that users get
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class PageFault { kNone, kLight, kGlow, kTraffic };

struct PageQuery {
    std::vector<std::string> arguments; // for the program's option parser
    bool fixedSize = false;
    uint32_t stop = 0; // 0: run on
    PageFault fault = PageFault::kNone;
    int faultLight = 0;
};

// `query` is the URL's search part, with or without its '?'. False with a one-line reason for a
// parameter the page does not know or a value it cannot use.
bool ParsePageQuery(const std::string& query, PageQuery* page, std::string* error);
