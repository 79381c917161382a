#!/bin/bash
# One-time (and quick on repeat) preparation of a Debian 12 machine for the
# cross build: packages, MinGW builds of libpng/libjpeg-turbo/GoogleTest/pugixml/
# libsodium from Debian's own source packages, and the 32-bit Wine prefix.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
DEPS="${TARNWICK_DEPS:-/opt/tarnwick-deps}"
PREFIX="$DEPS/mingw32"
SRC="$DEPS/src"
HOST=i686-w64-mingw32
export DEBIAN_FRONTEND=noninteractive

log() { printf '[setup] %s\n' "$*"; }

PACKAGES=(
  ca-certificates bash coreutils findutils
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  mingw-w64-i686-dev libz-mingw-w64-dev
  cmake make ninja-build nasm dpkg-dev pkg-config
  wine wine32:i386 xvfb xauth x11-utils imagemagick gifsicle icoutils
  fonts-wqy-microhei
  python3 curl locales
  clang libclang-rt-14-dev g++ libpng-dev libjpeg62-turbo-dev zlib1g-dev
  libsodium-dev minisign autoconf automake libtool
)

need_packages() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || return 0
  done
  return 1
}

add_sources() {
  # Debian source packages are needed for apt-get source.
  if ! grep -rqs 'deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        > /etc/apt/sources.list.d/tarnwick-src.sources
    else
      grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
        > /etc/apt/sources.list.d/tarnwick-src.list
    fi
  fi
}

if need_packages; then
  log "installing Debian packages"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  add_sources
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${PACKAGES[@]}" >/dev/null
else
  add_sources
fi

# Wine takes its ANSI code page from the C library's locale.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  log "generating the zh_CN.UTF-8 locale"
  sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

# MinGW's default compiler flavour must be the posix-thread one (std::mutex).
CC_X="$(command -v $HOST-gcc-posix)"
CXX_X="$(command -v $HOST-g++-posix)"

mkdir -p "$PREFIX" "$SRC"

fetch_source() { # package -> echo unpacked dir
  local pkg="$1" dir suite
  dir="$(find "$SRC" -maxdepth 1 -type d -name "$pkg-*" | head -n1)"
  if [ -z "$dir" ]; then
    [ -n "$(ls /var/lib/apt/lists/*Sources 2>/dev/null)" ] || apt-get update -qq
    # The newest source may sit on a mirror that lacks it (security
    # updates); then take the release's own.
    suite="$(. /etc/os-release && echo "$VERSION_CODENAME")"
    (cd "$SRC" && { apt-get source -qq "$pkg" >/dev/null 2>&1 ||
                    apt-get source -qq "$pkg/$suite" >/dev/null 2>&1 ||
                    apt-get source -qq "$pkg/$suite-updates" >/dev/null 2>&1; }) || true
    dir="$(find "$SRC" -maxdepth 1 -type d -name "$pkg-*" | head -n1)"
    [ -n "$dir" ] || { echo "apt-get source $pkg failed" >&2; exit 1; }
  fi
  echo "$dir"
}

TOOLCHAIN="$ROOT/cmake/mingw-i686.cmake"
cmake_cross() { # src build [args...]
  local src="$1" build="$2"; shift 2
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
    -DCMAKE_PREFIX_PATH="$PREFIX" "$@" >/dev/null
  cmake --build "$build" >/dev/null
  cmake --install "$build" >/dev/null
}

if [ ! -f "$PREFIX/lib/libjpeg.a" ]; then
  log "building libjpeg-turbo for MinGW from Debian's source"
  d="$(fetch_source libjpeg-turbo)"
  cmake_cross "$d" "$d/build-mingw" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=OFF
fi

if [ ! -f "$PREFIX/lib/libpng.a" ]; then
  log "building libpng for MinGW from Debian's source"
  d="$(fetch_source libpng1.6)"
  cmake_cross "$d" "$d/build-mingw" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DPNG_TOOLS=OFF \
    -DZLIB_LIBRARY=/usr/$HOST/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/$HOST/include
  [ -f "$PREFIX/lib/libpng.a" ] || cp "$PREFIX"/lib/libpng16*.a "$PREFIX/lib/libpng.a"
fi

if [ ! -f "$PREFIX/lib/libgtest.a" ]; then
  log "building GoogleTest for MinGW from Debian's source"
  d="$(fetch_source googletest)"
  cmake_cross "$d" "$d/build-mingw" -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF \
    -DCMAKE_CXX_FLAGS="-static"
fi

if [ ! -f "$PREFIX/lib/libpugixml.a" ]; then
  log "building pugixml for MinGW from Debian's source (benchmark reference)"
  d="$(fetch_source pugixml)"
  cmake_cross "$d" "$d/build-mingw" -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF
fi

if [ ! -f "$PREFIX/lib/libsodium.a" ]; then
  log "building libsodium for MinGW from Debian's source"
  d="$(fetch_source libsodium)"
  # Debian's source carries no generated configure script.
  [ -x "$d/configure" ] || (cd "$d" && autoreconf -fi >/dev/null 2>&1)
  rm -rf "$d/build-mingw" && mkdir -p "$d/build-mingw"
  # Unrolled loops keep whole-file SHA-256 of the 32-bit build near sha256sum's speed.
  (cd "$d/build-mingw" &&
    ../configure --host=$HOST --prefix="$PREFIX" --disable-shared --enable-static \
      CC="$CC_X" CFLAGS="-O2 -fomit-frame-pointer -funroll-loops" >build.log 2>&1 &&
    make -j"$(nproc)" >>build.log 2>&1 && make install >>build.log 2>&1) ||
    { tail -n 30 "$d/build-mingw/build.log" >&2; exit 1; }
fi

# 32-bit Wine prefix, made once.
export WINEPREFIX="${WINEPREFIX:-$DEPS/wineprefix}"
export WINEARCH=win32 WINEDEBUG=-all LC_ALL=zh_CN.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  log "creating the 32-bit Wine prefix"
  # Mono and Gecko installers are not wanted (and cannot be downloaded here).
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi

# No window manager runs under Xvfb: Wine draws the window frames itself.
if [ ! -f "$WINEPREFIX/.tarnwick-x11-frames" ]; then
  export DISPLAY="${TARNWICK_DISPLAY:-:91}"
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  touch "$WINEPREFIX/.tarnwick-x11-frames"
fi

log "ready: deps in $DEPS"
