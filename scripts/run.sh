#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the shipped sample data.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target Quorvel_Configuration
cd build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting the program under a virtual X server."
    exec xvfb-run -a ./Quorvel_Configuration "$@"
fi
exec ./Quorvel_Configuration "$@"
