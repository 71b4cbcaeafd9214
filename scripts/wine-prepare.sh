#!/usr/bin/env bash
# Prepares the wine prefix and locale of scripts/wine-env.sh completely before the Windows
# tests start (CTest runs it as the setup of every test under wine): the prefix created and
# settled, and its server ended, so that no test meets a prefix still being set up.
#
#   scripts/wine-prepare.sh
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
wineserver -w
echo "wine prefix ready: $WINEPREFIX"
