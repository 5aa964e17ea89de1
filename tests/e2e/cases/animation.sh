# The animation runs: its window shows pictures that change. F1 recreates the window, and the new
# one draws on. (That the city carries on across F1 rather than starting over is proven
# in-process: F1 makes the shell call the scene's Initialize alone, which keeps every object.)
# A tap of Esc, pressed and released while one frame renders, ends the program with exit code 0.
start_xvfb 1280x720
start_program
wait_window "$title"
wait_drawing "$found"
toggle "$found"
wait_drawing "$found"
tap_key "$found" Escape
request_made
expect_exit 0
