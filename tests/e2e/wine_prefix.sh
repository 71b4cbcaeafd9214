#!/usr/bin/env bash
# Creates the wine prefix in which the end-to-end tests run the Windows program, once (CTest
# runs it as the setup of those tests): a prefix of their own, so that they may stop its wine
# processes between cases without touching the other tests' wine, with the fonts of a Japanese
# Windows (scripts/wine-fonts.sh). A prefix that is complete is kept.
#
#   wine_prefix.sh PREFIX
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix=$(realpath -m "${1:?usage: wine_prefix.sh PREFIX}")

# The locale (and the shared prefix, which is left alone here).
# shellcheck source=../../scripts/wine-env.sh
source "$here/../../scripts/wine-env.sh"
export WINEPREFIX=$prefix

ready=$prefix/.r407-ready
if [[ -e $ready ]]; then
    exit 0
fi
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
# No display: wine's first start sets the prefix up without opening windows.
DISPLAY='' wineboot -i >/dev/null 2>&1 || true
wineserver -w
[[ -e $prefix/system.reg ]] || { echo "wine_prefix.sh: wineboot could not create $prefix" >&2; exit 1; }
DISPLAY='' "$here/../../scripts/wine-fonts.sh"
# The registry is written to the prefix when the last wine process has ended.
wineserver -w
touch "$ready"
echo "wine prefix ready: $prefix"
