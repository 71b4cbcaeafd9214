#!/usr/bin/env bash
# Prepares the font set of the start-up benchmark's "fonts" cases and prints the path of a
# fontconfig file that adds it to the machine's own fonts: a few hundred families, as a
# Japanese desktop has (Noto for every script, Noto CJK, IPA, IPAex, VL Gothic, Liberation,
# DejaVu). The packages are only downloaded and unpacked into a private folder, never
# installed: every other program and test on the machine keeps seeing the fonts it saw.
#
#   bench/fonts.sh            # prints e.g. ~/.cache/r407-bench-fonts/fonts.conf
#
# Done once; later calls only print the path. R407_BENCH_FONTS_DIR moves the folder.
set -euo pipefail

dir=${R407_BENCH_FONTS_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/r407-bench-fonts}
conf=$dir/fonts.conf
packages=(
    fonts-noto-core fonts-noto-cjk fonts-ipafont-gothic fonts-ipafont-mincho
    fonts-ipaexfont-gothic fonts-ipaexfont-mincho fonts-vlgothic fonts-liberation2
    fonts-dejavu-core fonts-dejavu-extra
)

if [[ ! -s $conf ]]; then
    rm -rf "$dir"
    mkdir -p "$dir/debs" "$dir/root"
    (cd "$dir/debs" && apt-get download -q "${packages[@]}" >&2)
    for deb in "$dir"/debs/*.deb; do
        dpkg-deb -x "$deb" "$dir/root"
    done
    rm -rf "$dir/debs"
    # The machine's configuration first (its own fonts and rules), then the unpacked fonts,
    # with a cache of their own so that the first start does not scan them.
    cat >"$conf.tmp" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <dir>$dir/root/usr/share/fonts</dir>
  <cachedir>$dir/cache</cachedir>
</fontconfig>
EOF
    FONTCONFIG_FILE=$conf.tmp fc-cache "$dir/root/usr/share/fonts" >&2
    mv "$conf.tmp" "$conf"
fi
echo "$conf"
