// Windows virtual-key codes for SDL's physical keys, so that the key table is indexed the same way
// on every platform.
#pragma once

#include <SDL.h>
#include <cstdint>

// The virtual-key code of a key of a standard keyboard, or 0 for keys that have none.
uint8_t VirtualKeyFromScancode(SDL_Scancode scancode);
