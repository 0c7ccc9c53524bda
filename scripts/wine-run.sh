#!/usr/bin/env bash
# Runs a Windows executable under Wine with the build's private prefix.
# Used as CMake's cross-compiling emulator, so the program's exit code must
# come back unchanged.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
ensure_wine_prefix
use_prefix_display
exec "$wine" "$@"
