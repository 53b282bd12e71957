#!/usr/bin/env bash
# The main job: build the native host tool and list the programs installed on the bundled sample machine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh native
cmake --preset native >/dev/null
cmake --build --preset native --target wendlow-host Wendlow
exec build/native/tools/wendlow-host list "$@"
