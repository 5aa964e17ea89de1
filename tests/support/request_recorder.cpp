#include "tests/support/request_recorder.h"

std::vector<RecordedRequest>& RecordedRequests() {
    static std::vector<RecordedRequest> requests;
    return requests;
}

void TerminateApplication(GL_Window* window) {
    RecordedRequests().push_back({"TerminateApplication", window});
}

void ToggleFullscreen(GL_Window* window) {
    RecordedRequests().push_back({"ToggleFullscreen", window});
}
