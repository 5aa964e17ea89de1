// The wallpaper's host on Wayland: one surface in the compositor's background layer on every
// output, through the wlroots layer shell (sway, Hyprland, KDE and others; GNOME has none), drawn
// with one EGL context of the desktop OpenGL API. SDL cannot make such a surface.
#pragma once

#include <memory>

#include "shell/host.h"

// A host that connects to $WAYLAND_DISPLAY when it starts; Start() gives kExitNoBackground, the
// reason on stderr, where the compositor has no layer shell.
std::unique_ptr<Host> MakeLayerShellHost();
