// The SDL platform's key translation into Windows virtual-key codes.
#include <gtest/gtest.h>

#include "shell/linux/sdl_keys.h"

namespace {

TEST(SdlKeys, FunctionKeysLettersAndDigitsTakeTheirWindowsCodes) {
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(VirtualKeyFromScancode(static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + i)), 112 + i)
            << "F" << i + 1;
    }
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_F24), 0x87);
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(VirtualKeyFromScancode(static_cast<SDL_Scancode>(SDL_SCANCODE_A + i)), 'A' + i);
    }
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_0), '0');
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_1), '1');
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_9), '9');
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_KP_0), 0x60);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_KP_9), 0x69);
}

TEST(SdlKeys, ControlAndNavigationKeysTakeTheirWindowsCodes) {
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_ESCAPE), 27);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RETURN), 0x0D);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_KP_ENTER), 0x0D);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_SPACE), 0x20);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_LEFT), 0x25);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_UP), 0x26);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RIGHT), 0x27);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_DOWN), 0x28);
    // Both shift keys are VK_SHIFT in key messages, and so on for Ctrl and Alt.
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_LSHIFT), 0x10);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RSHIFT), 0x10);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RCTRL), 0x11);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_RALT), 0x12);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_SEMICOLON), 0xBA);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_GRAVE), 0xC0);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(VirtualKeyFromScancode(SDL_SCANCODE_AUDIOPLAY), 0);
}

} // namespace
