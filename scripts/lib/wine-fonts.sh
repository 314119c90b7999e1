# Sourced by the scripts that show the program to a person (scripts/run, scripts/screenshots).
# Wine draws the caption buttons with the Marlett font; without it they read "0 1 r". The font comes
# from Debian's Wine font package, unpacked into the caller's folder only, so the tests keep the
# fonts they were laid out with.

# install_marlett <work-dir> <wine-prefix>: puts marlett.ttf into the prefix's Fonts folder; status 1
# when the package cannot be had (offline).
install_marlett() {
  local work=$1 prefix=$2
  local font=$work/fonts/usr/share/wine/fonts/marlett.ttf
  if [ ! -f "$font" ]; then
    (cd "$work" && rm -f fonts-wine_*.deb && apt-get download -qq fonts-wine >/dev/null 2>&1 &&
       dpkg-deb -x fonts-wine_*.deb fonts) || return 1
  fi
  mkdir -p "$prefix/drive_c/windows/Fonts"
  cp "$font" "$prefix/drive_c/windows/Fonts/"
}
