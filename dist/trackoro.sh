#!/bin/sh
# Starts Trackoro from its program folder, lib/trackoro beside this script's bin folder,
# wherever the two were installed or unpacked (a symbolic link to this script works too).
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/trackoro/trackoro" "$@"
