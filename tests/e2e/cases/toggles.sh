# F1 many times over (ZORVIK_E2E_TOGGLES, 50 natively, 20 under Wine): every toggle destroys the
# window with its context and makes new ones. Afterwards the process holds no more threads (the
# software renderer runs some per context), open files or X windows than after the first round
# trip, which is when everything a window of each kind needs once has been made; it ends with
# exit code 0 and, built with AddressSanitizer, LeakSanitizer finds nothing lost outside the
# system's own libraries. The key is held until the new window is there, however long a busy
# machine takes to make it: the display repeats no key (xserver.sh), as a second press would toggle
# again.
census() { # threads, open files, X windows on the display, windows of the program's class
    local pid
    pid=$(program_process)
    echo "$(awk '/^Threads:/ {print $2}' "/proc/$pid/status")" \
        "$(find "/proc/$pid/fd" -mindepth 1 2>/dev/null | wc -l)" \
        "$(xwininfo -root -tree | grep -c '^ *0x')" \
        "$([ -n "$use_wine" ] && probe count || count_windows "$title")"
}

toggles=${ZORVIK_E2E_TOGGLES:-$([ -n "$use_wine" ] && echo 20 || echo 50)}
start_xvfb 1280x720
start_program
wait_window "$title"
wait_frames
started=$(now_ms)
for i in $(seq 1 "$toggles"); do
    toggle "$found"
    if [ "$i" = 2 ]; then
        wait_frames
        read -r threads fds xwindows windows <<<"$(census)"
        note "after 2 toggles: $threads threads, $fds files, $xwindows X windows, $windows window"
    fi
done
wait_frames
bench "$toggles toggles (ms)" $(($(now_ms) - started))
read -r threads2 fds2 xwindows2 windows2 <<<"$(census)"
note "after $toggles toggles: $threads2 threads, $fds2 files, $xwindows2 X windows, $windows2 window"
[ "$windows2" = 1 ] || fail "$windows2 windows of the program, expected 1"
[ "$threads2" -le "$threads" ] || fail "threads grew from $threads to $threads2"
[ "$fds2" -le "$fds" ] || fail "open files grew from $fds to $fds2"
[ "$xwindows2" -le "$xwindows" ] || fail "X windows grew from $xwindows to $xwindows2"
# The last window made is where the user's keys go, Esc first: Windows' foreground window. (Under
# Wine the X focus may rest on the root window meanwhile, which hands a full-screen window its keys
# all the same.)
[ -z "$use_wine" ] || wait_for "the window in the foreground" eval 'probe foreground >/dev/null'
hold_key "$found" Escape
request_made
expect_exit 0
release_key Escape
! grep -q "LeakSanitizer" "$work/stderr" || fail "LeakSanitizer reported a leak"
