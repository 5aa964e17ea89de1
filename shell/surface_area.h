// Where a surface of each kind lies on the outputs of the moment: one answer for every host, so
// that the fake host the program's tests run on places surfaces as the real ones do.
#pragma once

#include <vector>

#include "shell/host.h"

// The primary output: the one marked so, else the first; null when there is none.
const Output* PrimaryOutput(const std::vector<Output>& outputs);

// The smallest rectangle holding every output, which may begin left of or above the primary one.
HostRect UnionOfOutputs(const std::vector<Output>& outputs);

// The area a request covers on the desktop: a window's or a switched full screen's size at the
// origin (the system places them), the primary output's for the desktop's mode, the union for a
// span (and a background across the outputs), one output's own. False when the outputs it needs are
// not there (any more).
bool SurfaceArea(const SurfaceRequest& request, const std::vector<Output>& outputs, HostRect* area);
