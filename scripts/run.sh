#!/usr/bin/env bash
# Installs what Noctavi needs, builds it in build/ (as scripts/test.sh does)
# and starts it in the notification area. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh noctavi
exec build/Noctavi/noctavi "$@"
