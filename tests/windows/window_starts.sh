#!/bin/sh
# Starts the Windows window under Wine on the current X display, waits for the window "Varnex 1.3",
# saves a screenshot of it, and closes the program.
#   sh window_starts.sh WINE_RUN VARNEX_EXE SCREENSHOT.png
set -e
RUN="$1"
EXE="$2"
PNG="$3"
rm -f "$PNG"
# The first run makes the Wine folder, which takes minutes on a busy machine: not on the clock.
"$RUN" --version >/dev/null 2>&1 || true
# The pointer away from the boxes, so that no tooltip covers them in the picture.
xdotool mousemove 1279 1023 2>/dev/null || true
"$RUN" "$EXE" &
program=$!
window=""
for _ in $(seq 1 120); do
    window=$(xdotool search --name '^Varnex 1\.3$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    sleep 1
done
status=0
if [ -z "$window" ]; then
    echo "no window named \"Varnex 1.3\" within 120 s" >&2
    status=1
else
    # Time to draw its controls.
    sleep 3
    xwd -id "$window" -silent | xwdtopnm 2>/dev/null | pnmtopng >"$PNG"
    echo "window $window shown; screenshot: $PNG"
    # With the pointer away, nothing black is wider than a letter: a black bar across the window
    # is a tooltip window mapped without a hover.
    bar=$(pngtopnm "$PNG" | pnmtoplainpnm | awk '
        NR == 1 { next }
        { for (i = 1; i <= NF; ++i) token[++n] = $i }
        END {
            width = token[1]; run = 0; widest = 0
            for (t = 4; t + 2 <= n; t += 3) {
                if ((t - 4) / 3 % width == 0) run = 0
                run = token[t] + token[t + 1] + token[t + 2] == 0 ? run + 1 : 0
                if (run > widest) widest = run
            }
            print widest
        }')
    if [ "${bar:-0}" -ge 60 ]; then
        echo "a black bar $bar pixels wide crosses the window" >&2
        status=1
    fi
fi
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
# Wine's helper processes hold the display until its server ends.
"$RUN" --server -w 2>/dev/null || true
[ "$status" -eq 0 ] && [ -s "$PNG" ] || { echo "no screenshot" >&2; exit 1; }
