#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run,
# and those named as arguments (scripts/fuzz.sh adds clang and libFuzzer).
# Idempotent: does nothing when all packages are present.
set -euo pipefail
pkgs=(
  build-essential cmake pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libjpeg-dev libxxhash-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  poppler-utils
  faketime
  libqt6svg6
  xvfb xauth x11-apps x11-utils openbox
  qt6-translations-l10n xdg-utils
  appstream dpkg-dev
  python3
  python3-vobject khard vdirsyncer radicale
  nodejs
  libmecab-dev mecab-ipadic-utf8 skkdic-extra
  fcitx5 fcitx5-mozc fcitx5-frontend-qt6 dbus-x11 xdotool
  unicode-data kanjidic-xml
  "$@"
)
# Some builds of nodejs bring npm with them; Debian's needs its own package.
command -v npm >/dev/null 2>&1 || pkgs+=(npm)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# ical.js, a second vCard reader for the interoperability tests, pinned,
# into the cache folder tests/e2e/kxinterop.py looks in.
node_cache="${KX_NODE_CACHE:-$HOME/.cache/korvelix-tests/node}"
if [ ! -f "$node_cache/node_modules/ical.js/dist/ical.js" ]; then
  mkdir -p "$node_cache"
  npm install --no-audit --no-fund --prefix "$node_cache" ical.js@2.2.1 >/dev/null
fi
