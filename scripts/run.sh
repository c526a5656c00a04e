#!/usr/bin/env bash
# Installs what is missing, builds the window and the command line, and starts the program on
# the shipped sample data. Both executables land in build/: build/Quorvel_Configuration and
# build/quorvel, beside a copy of the data they read.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target Quorvel_Configuration quorvel
echo "Built build/Quorvel_Configuration (the window) and build/quorvel (the command line)."
cd build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting the program under a virtual X server."
    exec xvfb-run -a ./Quorvel_Configuration "$@"
fi
exec ./Quorvel_Configuration "$@"
