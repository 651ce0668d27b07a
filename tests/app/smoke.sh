#!/usr/bin/env bash
# Starts the real program on a fresh demo installation under the test command's Xvfb
# display, checks that it comes up and stays up past the splash, and saves a screenshot.
# Arguments: the tavoro binary, the demo generator, the screenshot tool, the shots folder.
set -euo pipefail
tavoro=$1 setup=$2 xshot=$3 shots=$4
if [ -z "${TAVORO_X_DISPLAY:-}" ]; then
  echo "no Xvfb display from the test command; skipped"
  exit 0
fi
work=$(mktemp -d /tmp/tavoro-smoke.XXXXXX)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
"$setup" "$work/demo" >/dev/null
cp "$tavoro" "$work/demo/Tavoro/tavoro"
export DISPLAY=$TAVORO_X_DISPLAY QT_QPA_PLATFORM=xcb
"$work/demo/Tavoro/tavoro" >"$work/out.log" 2>&1 &
pid=$!
sleep 4
if ! kill -0 "$pid" 2>/dev/null; then
  echo "the program ended on its own:"; cat "$work/out.log"; exit 1
fi
mkdir -p "$shots"
"$xshot" "$shots/app-xvfb.png"
echo "program running; screenshot in $shots/app-xvfb.png"
