# The Windows program under wine in a private X server, for the scripts that show or time it.
# Source it from the repository's root (bash), then:
#
#   ws_prepare TARGET...   builds those targets of the windows preset against the Qt for
#                          Windows, makes the wine prefix of the windows build
#                          (build/windows/wineprefix, as the end-to-end tests make theirs), and
#                          sets up the X helpers (xsession.sh) and wine's environment
#                          (wine-env.sh) with WINEPREFIX at that prefix.

ws_prepare() {
    R407_QT_WINDOWS=$(scripts/qt-windows.sh)
    export R407_QT_WINDOWS
    cmake --preset windows >/dev/null
    cmake --build --preset windows --target "$@" >/dev/null
    local prefix=$PWD/build/windows/wineprefix
    tests/e2e/wine_prefix.sh "$prefix" >/dev/null
    # shellcheck source=xsession.sh
    source scripts/xsession.sh
    # shellcheck source=wine-env.sh
    source scripts/wine-env.sh
    export WINEPREFIX=$prefix
}
