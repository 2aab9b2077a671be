#!/bin/sh
# Runs a command on the X display, starting a private X server when there is none.
# The server number starts from a per-process value, so that two of these started at the
# same moment do not race for the same display.
if [ -n "${DISPLAY:-}" ]; then
    exec "$@"
fi
exec xvfb-run -a -n $((100 + $$ % 800)) -s "-noreset -screen 0 1280x1024x24" "$@"
