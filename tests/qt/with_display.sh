#!/bin/sh
# Runs a command on the X display, starting a private X server when there is none.
if [ -n "${DISPLAY:-}" ]; then
    exec "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
