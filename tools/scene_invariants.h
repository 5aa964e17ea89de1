// Checks of everything the scene's objects promise about their state, for long runs.
#pragma once

#include <string>

// Checks every object of the scene's arrays. Returns false with the first broken promise.
bool CheckSceneInvariants(std::string* problem);
