# The real xscreensaver daemon runs zorvik --root as its hack: activated, the screen shows the
# city and then shows it moved; deactivated, the hack is gone. Five rounds leave no process
# behind. The daemon refuses to run hacks as root, so it runs as nobody, with a private home whose
# .xscreensaver names only this hack, and a copy of the program nobody can run.
start_xvfb 1280x720
start_xscreensaver
for round in 1 2 3 4 5; do
    saver_command -activate
    wait_for "the hack to start (round $round)" hack_running
    if [ "$round" = 1 ]; then
        root=$(xwininfo -root | awk '/Window id:/ {print $4}')
        wait_drawing "$root"
    fi
    saver_command -deactivate
    wait_for "the hack to end (round $round)" hack_gone
done
