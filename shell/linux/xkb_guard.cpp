// A guard around two calls that SDL 2.26's Wayland keyboard makes into libxkbcommon.
//
// Under wlroots compositors, once a virtual keyboard that typed a key has gone while another
// keyboard stays on the seat, the compositor sends the keyboard's focus and modifiers with no
// keymap. SDL 2.26 then hands libxkbcommon a null state and a null keymap, and the program dies
// as its window gets the focus. The executable defines both functions, so that SDL's calls land
// here first: a null argument is answered with nothing, and everything else goes on to
// libxkbcommon itself. The keymap comes with the next key. Where SDL checks for itself (2.30.1
// and later), nothing here is ever reached with a null.
#include <cstdint>
#include <dlfcn.h>

namespace {

constexpr char kVersion[] = "V_0.5.0";

template <typename Function> Function Real(const char* name) {
    return reinterpret_cast<Function>(dlvsym(RTLD_NEXT, name, kVersion));
}

} // namespace

extern "C" int xkb_state_update_mask(void* state, uint32_t depressedMods, uint32_t latchedMods,
                                     uint32_t lockedMods, uint32_t depressedLayout,
                                     uint32_t latchedLayout, uint32_t lockedLayout) {
    using Function = int (*)(void*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t);
    static const Function real = Real<Function>("xkb_state_update_mask");
    if (state == nullptr || real == nullptr) {
        return 0;
    }
    return real(state, depressedMods, latchedMods, lockedMods, depressedLayout, latchedLayout,
                lockedLayout);
}

extern "C" void xkb_keymap_key_for_each(void* keymap, void (*iterate)(void*, uint32_t, void*),
                                        void* data) {
    using Function = void (*)(void*, void (*)(void*, uint32_t, void*), void*);
    static const Function real = Real<Function>("xkb_keymap_key_for_each");
    if (keymap != nullptr && real != nullptr) {
        real(keymap, iterate, data);
    }
}
