# Sets up the environment in which the Windows build runs under wine as on a Japanese Windows
# system. Source it (bash), then run the programs with `wine`:
#
#   source scripts/wine-env.sh && wine build/windows-core/tests/unit/r407_unit_tests.exe
#
# - A 64-bit wine prefix of its own in the cache folder, created once (quietly), settled by a
#   first program run in it, and reused.
# - A private ja_JP.UTF-8 locale, generated once into the cache folder: wine takes its ANSI and
#   OEM code pages from the Unix locale (not from its registry), so this locale gives code page
#   932; under C.UTF-8 wine would use code page 1252 instead.
# - WINEDEBUG=-all keeps wine's own diagnostics out of the test output.
# Console programs need no display; programs with windows use $DISPLAY as it is set.
#
# R407_WINE_CACHE changes the cache folder (default ${XDG_CACHE_HOME:-$HOME/.cache}/r407).
# Returns non-zero when wine or the locale cannot be set up.

r407_wine_setup() {
    local cache="${R407_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/r407}"
    local locales="$cache/locale"
    local prefix="$cache/wine"

    if ! command -v wine >/dev/null || ! command -v wineboot >/dev/null; then
        echo "wine-env: wine is not installed (scripts/install-deps.sh installs it)" >&2
        return 1
    fi
    mkdir -p "$cache" || return 1

    # Several shells may source this at the same time: one of them builds, the others wait.
    (
        flock 9 || exit 1
        if [[ ! -e "$locales/ja_JP.UTF-8/LC_CTYPE" ]]; then
            local building="$locales/.building"
            rm -rf "$building" && mkdir -p "$building" || exit 1
            # localedef warns about the locale's own sources and exits 1 for warnings alone;
            # the locale is usable when its LC_CTYPE exists.
            localedef -i ja_JP -f UTF-8 "$building/ja_JP.UTF-8" >/dev/null 2>&1
            [[ -e "$building/ja_JP.UTF-8/LC_CTYPE" ]] || {
                echo "wine-env: localedef could not build ja_JP.UTF-8 (package locales)" >&2
                exit 1
            }
            rm -rf "$locales/ja_JP.UTF-8" && mv "$building/ja_JP.UTF-8" "$locales/" &&
                rmdir "$building" || exit 1
        fi
    ) 9>"$cache/.locale.lock" || return 1

    # This shell cannot load the locale itself (its C library read LOCPATH at start) and would
    # warn about it; the programs it starts from now on can.
    export LOCPATH="$locales"
    { export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8; } 2>/dev/null
    export WINEPREFIX="$prefix"
    export WINEARCH=win64
    export WINEDEBUG=-all
    # No Mono and no Gecko: wineboot would otherwise offer to download them.
    export WINEDLLOVERRIDES="mscoree,mshtml="

    # The prefix is ready only once wine has finished setting it up and has run a first
    # program in it: a fresh prefix goes on updating itself (its registry, its services) for a
    # while after wineboot returns, and a program started meanwhile may end before it runs.
    # Each step waits for the prefix's server, and with it every wine process, to end.
    (
        flock 9 || exit 1
        if [[ ! -e "$prefix/.r407-ready" ]]; then
            if [[ ! -e "$prefix/system.reg" ]]; then
                wineboot -i >/dev/null 2>&1
                wineserver -w >/dev/null 2>&1
                [[ -e "$prefix/system.reg" ]] || {
                    echo "wine-env: wineboot could not create the prefix $prefix" >&2
                    exit 1
                }
            fi
            local out status=0
            out=$(WINEDEBUG=err+all wine cmd /c exit 7 2>&1) || status=$?
            wineserver -w >/dev/null 2>&1
            ((status == 7)) || {
                echo "wine-env: wine cannot run a program in the prefix $prefix (status $status):" >&2
                printf '%s\n' "$out" | tail -n 20 >&2
                exit 1
            }
            touch "$prefix/.r407-ready"
        fi
    ) 9>"$cache/.wine.lock" || return 1
}

r407_wine_setup
