#include "shell/surface_area.h"

#include <algorithm>

const Output* PrimaryOutput(const std::vector<Output>& outputs) {
    for (const Output& output : outputs) {
        if (output.primary) {
            return &output;
        }
    }
    return outputs.empty() ? nullptr : &outputs.front();
}

HostRect UnionOfOutputs(const std::vector<Output>& outputs) {
    if (outputs.empty()) {
        return HostRect{};
    }
    const HostRect& first = outputs.front().area;
    int32_t left = first.x, top = first.y;
    int32_t right = first.x + first.width, bottom = first.y + first.height;
    for (const Output& output : outputs) {
        left = std::min(left, output.area.x);
        top = std::min(top, output.area.y);
        right = std::max(right, output.area.x + output.area.width);
        bottom = std::max(bottom, output.area.y + output.area.height);
    }
    return HostRect{left, top, right - left, bottom - top};
}

bool SurfaceArea(const SurfaceRequest& request, const std::vector<Output>& outputs,
                 HostRect* area) {
    switch (request.kind) {
    case SurfaceKind::kDesktop:
        if (const Output* primary = PrimaryOutput(outputs)) {
            *area = primary->area;
            return true;
        }
        return false;
    case SurfaceKind::kSpan:
        *area = UnionOfOutputs(outputs);
        return !outputs.empty();
    case SurfaceKind::kBackground:
        if (request.output == 0) {
            *area = UnionOfOutputs(outputs);
            return !outputs.empty();
        }
        // One output's, as kOutput.
        [[fallthrough]];
    case SurfaceKind::kOutput:
        for (const Output& output : outputs) {
            if (output.id == request.output) {
                *area = output.area;
                return true;
            }
        }
        return false;
    case SurfaceKind::kWindow:
    case SurfaceKind::kFullScreen:
    case SurfaceKind::kChild:
        break;
    }
    *area = HostRect{0, 0, request.width, request.height};
    return true;
}
