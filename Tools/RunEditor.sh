#!/usr/bin/env bash
# README's first command: installs what a fresh Debian machine lacks for the editor host, builds the host alone (no
# tests, so no test libraries), and starts it on a fresh copy of the demo project. Arguments go to the host
# (trellic-editor --help lists them); relative paths among them are taken from the folder this was started in.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

"$root/Tools/InstallPrerequisites.sh" run
(cd "$root" && cmake --preset run && cmake --build --preset run)
exec "$root/build/default/StandIn/Programs/EditorHost/trellic-editor" "$@"
