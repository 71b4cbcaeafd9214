#!/usr/bin/env bash
# Gives the wine prefix in WINEPREFIX the fonts a Japanese Windows has, by name: wine's font
# replacements map them onto the fonts this machine has (IPA Gothic from fonts-ipafont-gothic,
# DejaVu Sans). Run it once after the prefix has been created (scripts/wine-env.sh sets
# WINEPREFIX and the locale):
#
#   source scripts/wine-env.sh && scripts/wine-fonts.sh
#
# Without it, every font that a Windows program or Windows itself names and that the machine
# lacks (the dialog font "MS Shell Dlg", which a Japanese Windows substitutes with "MS UI
# Gothic", or "Tahoma") falls back to wine's first font in alphabetical order,
# DejaVu Math TeX Gyre. That font's glyphs have very tall bounding boxes (51 pixels for a
# 13-pixel line); an edit box centres its line by that height and so draws the text above its
# visible area: every edit box looks empty.
set -euo pipefail

[[ -n ${WINEPREFIX:-} ]] || { echo "wine-fonts.sh: WINEPREFIX is not set" >&2; exit 1; }

# Windows' Japanese and Western user-interface fonts, by their English names, and the fonts
# that stand in for them. The Japanese names ("ＭＳ ゴシック") are left out on purpose: the
# program lists the installed fonts and prefers that one when it is there, so with it the
# end-to-end tests would choose another font than on Linux, where it is missing too.
replacements=(
    "MS UI Gothic=IPAPGothic"
    "MS Gothic=IPAGothic"
    "MS PGothic=IPAPGothic"
    "Meiryo=IPAPGothic"
    "Meiryo UI=IPAPGothic"
    "Yu Gothic=IPAPGothic"
    "Yu Gothic UI=IPAPGothic"
    "Tahoma=DejaVu Sans"
    "Segoe UI=DejaVu Sans"
    "Microsoft Sans Serif=DejaVu Sans"
    "Arial=DejaVu Sans"
)
# One registry file for regedit (one wine process instead of one per entry), in UTF-16 with
# byte-order mark, the form regedit reads whatever the code page.
regfile=$(mktemp "${TMPDIR:-/tmp}/r407-fonts.XXXXXX.reg")
trap 'rm -f "$regfile"' EXIT
{
    printf '\xff\xfe'
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
        for entry in "${replacements[@]}"; do
            printf '"%s"="%s"\r\n' "${entry%%=*}" "${entry#*=}"
        done
    } | iconv -f UTF-8 -t UTF-16LE
} >"$regfile"
wine regedit /S "$regfile"
