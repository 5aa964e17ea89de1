# The 64-bit Windows program under Wine, on a private Xvfb (run_case.sh's "wine"), with a private
# prefix per case: the X server's side is xserver.sh's. What only this display has:
#
#   probe COMMAND [ARG]           the Win32 probe's answer (win_probe.c): geometry, count, box ...
#   start_preview_host [message-only], preview_command LINE, preview_child_is "X Y W H"
#                                 a Win32 window of another program, for the saver's preview
#
# The program's windows are looked at through Win32 itself (win_probe.exe, built here): Wine is
# told to manage its windows itself, because with no window manager on the display it otherwise
# waits about 2 s for each window it hides or destroys; it then draws the window frames inside the
# X windows, so an X window's geometry is not the client area.
source "$here/xserver.sh"
wine_box_texts=()

# A private prefix per case, kept in the current directory so that only the first run pays for
# booting it. It is booted inside the Xvfb it will run under: a prefix first booted without a
# display refuses every display-mode switch afterwards.
x_server_started() {
    # Wine's own errors only, so that a failure shows why Wine gave up (for example no display).
    export WINEDEBUG=${ZORVIK_E2E_WINEDEBUG:--all,err+all} WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEPREFIX="$PWD/e2e-wineprefix-$case_name"
    if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wineboot -u >/dev/null 2>&1 || fail "wineboot failed"
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
            fail "cannot set Wine's X11 driver to manage its own windows"
        wineserver -w
    fi
    wineserver -p
    x86_64-w64-mingw32-gcc -O1 -I"$here/../.." -o "$work/win_probe.exe" "$here/win_probe.c" ||
        fail "cannot build the Win32 probe"
}
display_cleanup() {
    [ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null
    stop_x_server
}

# Runs the Win32 probe (see win_probe.c) in the program's prefix.
probe() { wine "$work/win_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# --- The program -------------------------------------------------------------------------------

program_command() { program_words=(env "$@" wine "$program"); }
# The process that runs the program's code: a process of its own named after the executable.
program_process() { pgrep -n -x "$(basename "$program" | cut -c1-15)"; }

# The box's text is kept for box_texts as it is dismissed.
dismiss_box() {
    wine_box_texts+=("$(probe box | tr '\n' ' ' | sed 's/ *$//')")
    press_box_away "$1"
}
# The texts of the Error boxes shown so far, one a line, their lines joined by spaces.
box_texts() { [ ${#wine_box_texts[@]} -eq 0 ] || printf '%s\n' "${wine_box_texts[@]}"; }
# The Windows program has no console to write to: its boxes, checked already, are all it says.
expect_failure_explained() { :; }

# --- Windows -----------------------------------------------------------------------------------

# "x y width height" of the program's client area on the screen, as Win32 reports it.
client_geometry() { probe geometry | awk '{print $5, $6, $7, $8}'; }

# A framed window: its window rectangle holds more than its client area.
is_framed() {
    local l t r b cx cy cw ch
    read -r l t r b cx cy cw ch <<<"$(probe geometry)"
    [ $((r - l)) -gt "$cw" ] && [ $((b - t)) -gt "$ch" ]
}

# The close button's request: Wine, which manages its own windows here, gets it as the system
# command that the close box of its own frame sends.
request_close() { probe close; }
# What a window manager does when it iconifies a window; without a window manager Wine minimises
# only on the window's own system command.
minimise() { probe minimise; }
restore() { probe restore; }
# Sizes the client area of the program's window to WxH.
resize_window() { probe size "$2"; }

# --- The saver's preview -----------------------------------------------------------------------

# A Win32 window for the preview (preview_host.c), in the case's prefix: its handle in $host;
# preview_command asks it to "resize W H", "hide", "show" or "destroy". With "message-only", the
# window is one that is never seen.
start_preview_host() {
    [ -f "$work/preview_host.exe" ] ||
        x86_64-w64-mingw32-gcc -O1 -o "$work/preview_host.exe" "$here/preview_host.c" -lgdi32 ||
        fail "cannot build the preview host"
    rm -f "$work/preview.cmd"
    wine "$work/preview_host.exe" "$(winepath -w "$work/preview.cmd")" "$@" \
        >"$work/preview.out" 2>&1 &
    wait_for "the preview host window" test -s "$work/preview.out"
    host=$(head -n 1 "$work/preview.out" | tr -d '\r')
}
preview_command() { echo "$*" >"$work/preview.cmd"; }
# True when the preview window of class OpenGL inside the host is at "X Y W H".
preview_child_is() { [ "$(probe child "$host")" = "$1" ]; }
