#!/usr/bin/env bash
# Fails when any of the given binaries is linked with Qt Widgets: the data tool and the
# tests of rules must run where no widget library is installed.
status=0
for binary in "$@"; do
  if ldd "$binary" | grep -q 'libQt6Widgets'; then
    echo "$(basename "$binary") links Qt Widgets"
    status=1
  fi
done
[ $status -eq 0 ] && echo "$# binaries, none links Qt Widgets"
exit $status
