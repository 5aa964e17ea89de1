// SDL scancodes to Windows virtual-key codes. Scancodes name physical positions, which is what
// the key table cares about (Esc and F1), and they do not change with the keyboard layout.
#include "shell/linux/sdl_keys.h"

uint8_t VirtualKeyFromScancode(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return static_cast<uint8_t>('A' + (scancode - SDL_SCANCODE_A));
    }
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
        return static_cast<uint8_t>('1' + (scancode - SDL_SCANCODE_1));
    }
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
        return static_cast<uint8_t>(0x70 + (scancode - SDL_SCANCODE_F1));
    }
    if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) {
        return static_cast<uint8_t>(0x7C + (scancode - SDL_SCANCODE_F13));
    }
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) {
        return static_cast<uint8_t>(0x61 + (scancode - SDL_SCANCODE_KP_1));
    }
    // The other keys, one by one.
#define K(name, key)                                                                               \
    { SDL_SCANCODE_##name, key }
    static const struct {
        SDL_Scancode scancode;
        uint8_t key;
    } kKeys[] = {
        // clang-format off
        K(0, '0'), K(KP_0, 0x60), K(BACKSPACE, 0x08), K(TAB, 0x09), K(CLEAR, 0x0C),
        K(KP_CLEAR, 0x0C), K(RETURN, 0x0D), K(RETURN2, 0x0D), K(KP_ENTER, 0x0D), K(LSHIFT, 0x10),
        K(RSHIFT, 0x10), K(LCTRL, 0x11), K(RCTRL, 0x11), K(LALT, 0x12), K(RALT, 0x12),
        K(PAUSE, 0x13), K(CAPSLOCK, 0x14), K(ESCAPE, 0x1B), K(SPACE, 0x20), K(PAGEUP, 0x21),
        K(PAGEDOWN, 0x22), K(END, 0x23), K(HOME, 0x24), K(LEFT, 0x25), K(UP, 0x26),
        K(RIGHT, 0x27), K(DOWN, 0x28), K(SELECT, 0x29), K(EXECUTE, 0x2B), K(PRINTSCREEN, 0x2C),
        K(INSERT, 0x2D), K(DELETE, 0x2E), K(HELP, 0x2F), K(LGUI, 0x5B), K(RGUI, 0x5C),
        K(APPLICATION, 0x5D), K(SLEEP, 0x5F), K(KP_MULTIPLY, 0x6A), K(KP_PLUS, 0x6B),
        K(KP_COMMA, 0x6C), K(KP_MINUS, 0x6D), K(KP_PERIOD, 0x6E), K(KP_DECIMAL, 0x6E),
        K(KP_DIVIDE, 0x6F), K(NUMLOCKCLEAR, 0x90), K(SCROLLLOCK, 0x91), K(SEMICOLON, 0xBA),
        K(EQUALS, 0xBB), K(COMMA, 0xBC), K(MINUS, 0xBD), K(PERIOD, 0xBE), K(SLASH, 0xBF),
        K(GRAVE, 0xC0), K(LEFTBRACKET, 0xDB), K(BACKSLASH, 0xDC), K(RIGHTBRACKET, 0xDD),
        K(APOSTROPHE, 0xDE), K(NONUSBACKSLASH, 0xE2),
        // clang-format on
    };
#undef K
    for (const auto& entry : kKeys) {
        if (entry.scancode == scancode) {
            return entry.key;
        }
    }
    return 0;
}
