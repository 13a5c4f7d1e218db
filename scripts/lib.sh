# Shared by scripts/run and scripts/test: packages, builds, and the Wine/Xvfb
# environment. Source it; it defines functions and sets ROOT.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"

APT_PACKAGES=(cmake make g++ python3 googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 xvfb x11-utils imagemagick
  fonts-ipafont-gothic fonts-wine locales clang-format inotify-tools libc6-i386)

log() { printf '\033[1m== %s\033[0m\n' "$*" >&2; }

# Installs what is missing, and only that.
ensure_packages() {
  install_packages || return 1
  # Wine converts Japanese file names through the Unix locale; without a
  # generated Japanese UTF-8 locale such names cannot be created at all.
  if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    log "generating the ja_JP.UTF-8 locale"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 || return 1
  fi
}

install_packages() {
  local missing=()
  for p in "${APT_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# native: core + unit tests; win64 and win32: vesko.exe + e2e driver.
build_native() {
  cmake -S "$ROOT" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$BUILD/native" -j2
}
build_win64() {
  cmake -S "$ROOT" -B "$BUILD/win64" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw.cmake" -DVESKO_ARCH=x86_64 >/dev/null
  cmake --build "$BUILD/win64" -j2
}
# With "no-e2e": the program only (for its zip and import check), not the
# scenario driver, where the i686 scenarios cannot run anyway.
build_win32() {
  local no_e2e=OFF
  [ "${1:-}" = no-e2e ] && no_e2e=ON
  cmake -S "$ROOT" -B "$BUILD/win32" -DCMAKE_BUILD_TYPE=Release -DVESKO_NO_E2E=$no_e2e \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw.cmake" -DVESKO_ARCH=i686 >/dev/null
  cmake --build "$BUILD/win32" -j2
}

# 32-bit Wine of the same build as the system's wine64, for the i686 program.
# A machine with wine32:i386 of that version uses it; otherwise the i386
# packages are unpacked privately into build/wine32 from the system's own apt
# source (adding the i386 architecture system-wide fails where the registry's
# i386 security list does not download, and would change a machine other
# builds share). build/wine32/bin then holds `wine` and `wineserver` for the
# 32-bit runs (setup_wine win32).
WINE32="$BUILD/wine32"
WINE32_LIBRARIES=(libxrender1 libxrandr2 libxi6 libxcursor1 libxinerama1 libxcomposite1 libxfixes3 libxxf86vm1)
ensure_wine32() {
  local version loader
  version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null) || return 1
  if [ "$(dpkg-query -W -f='${Version}' wine32:i386 2>/dev/null)" = "$version" ]; then
    loader=/usr/lib/wine/wine
  else
    loader="$WINE32/root/usr/lib/wine/wine"
    [ -f "$WINE32/.ready-$version" ] || unpack_wine32 "$version" || return 1
  fi
  mkdir -p "$WINE32/bin"
  local libs="$WINE32/root/lib/i386-linux-gnu:$WINE32/root/usr/lib/i386-linux-gnu"
  {
    echo '#!/bin/sh'
    echo "# 32-bit Wine $version; the server is the system's, of the same build."
    echo "export LD_LIBRARY_PATH=\"$libs\${LD_LIBRARY_PATH:+:\$LD_LIBRARY_PATH}\""
    echo 'export WINESERVER=/usr/lib/wine/wineserver64 WINEARCH=win32'
    echo "exec \"$loader\" \"\$@\""
  } >"$WINE32/bin/wine"
  printf '#!/bin/sh\nexec /usr/lib/wine/wineserver64 "$@"\n' >"$WINE32/bin/wineserver"
  chmod +x "$WINE32/bin/wine" "$WINE32/bin/wineserver"
}

unpack_wine32() {
  local version=$1 apt="$WINE32/apt"
  log "unpacking 32-bit Wine $version into build/wine32 (once)"
  rm -rf "$WINE32"
  mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$apt/preferences.d" "$WINE32/root"
  : >"$apt/status"
  printf '%s\n' 'APT::Architecture "i386";' 'APT::Architectures { "i386"; };' \
    'APT::Install-Recommends "false";' "Dir::State \"$apt\";" "Dir::State::status \"$apt/status\";" \
    "Dir::Cache \"$apt\";" "Dir::Etc::PreferencesParts \"$apt/preferences.d\";" >"$apt/apt.conf"
  # An index that does not download (the security list, now and then) leaves
  # the others to resolve from, so the update's complaint is not fatal.
  APT_CONFIG="$apt/apt.conf" apt-get update -qq >/dev/null 2>&1
  APT_CONFIG="$apt/apt.conf" apt-get install -d -y -qq "wine32=$version" "libwine=$version" \
    "${WINE32_LIBRARIES[@]}" >/dev/null || { echo "could not fetch the i386 Wine packages" >&2; return 1; }
  # The C library and its loader come from libc6-i386 (of the system's own
  # architecture, so of the installed version): /lib/ld-linux.so.2 is where
  # every i386 program looks for its loader.
  local deb
  for deb in "$apt"/archives/*.deb; do
    case "${deb##*/}" in libc6_*) continue ;; esac
    dpkg -x "$deb" "$WINE32/root" || return 1
  done
  # What libwine's install script does: Wine takes zlib1.dll only with the
  # "Wine builtin DLL" mark in its header.
  local in="$WINE32/root/usr/i686-w64-mingw32/lib/zlib1.dll"
  local out="$WINE32/root/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll"
  { head -c 64 "$in" && printf 'Wine builtin DLL' && head -c 16 /dev/zero && tail -c +97 "$in"; } >"$out" || return 1
  rm -f "$apt"/archives/*.deb
  touch "$WINE32/.ready-$version"
}

STARTED_XVFB=""
# Starts Xvfb on a free display (1280x800 unless a size is given) and exports DISPLAY.
start_xvfb() {
  local n size="${1:-1280x800}"
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    STARTED_XVFB=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do
      xdpyinfo >/dev/null 2>&1 && return 0
      sleep 0.1
    done
  done
  echo "could not start Xvfb" >&2
  return 1
}

# The private Wine prefix under the build folder, Japanese code page, and a
# virtual desktop with a taskbar and notification area for every program.
# With "win32": the 32-bit prefix build/wineprefix32, a 32-bit Windows, run by
# the 32-bit Wine (ensure_wine32 first); the 64-bit one's server must be down.
setup_wine() {
  export WINEARCH=win64 WINEPREFIX="$BUILD/wineprefix"
  if [ "${1:-}" = win32 ]; then
    export WINEARCH=win32 WINEPREFIX="$BUILD/wineprefix32" PATH="$WINE32/bin:$PATH"
  fi
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  # Code page 932 for the programs and UTF-8 file names (ensure_packages
  # generates the locale).
  export LC_ALL=ja_JP.UTF-8 2>/dev/null
  if [ ! -f "$WINEPREFIX/.vesko-ready" ]; then
    log "preparing the $WINEARCH Wine prefix (once)"
    mkdir -p "$WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1000x700 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.vesko-ready"
  fi
  # Wine draws the title-bar buttons and arrows with Marlett; this Wine does
  # not find its own copy, so the prefix gets one (else the buttons read "0 1 r").
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" f
  for f in /usr/share/wine/fonts/marlett.ttf /usr/lib/wine/fonts/marlett.ttf; do
    if [ -f "$f" ] && [ ! -f "$fonts/marlett.ttf" ] && [ -d "$fonts" ]; then cp "$f" "$fonts/"; fi
  done
  # Keep one server up for the whole run so that each program starts fast,
  # and let the desktop come up once before anything is timed.
  wineserver -p 600 >/dev/null 2>&1 || true
  timeout 120 wine cmd /c exit >/dev/null 2>&1 || true
}

# A copy of the current prefix at <prefix> whose session runs at another DPI,
# with a desktop of the given size on an Xvfb of its own (the display this
# script started, if any, goes for it); switches DISPLAY and WINEPREFIX to it.
# The source's server may run: the copy gets its own.
# Usage: copy_prefix_at_dpi <prefix> 144 1600x1200
copy_prefix_at_dpi() {
  local prefix=$1 dpi=$2 size=$3
  rm -rf "$prefix"
  cp -a "$WINEPREFIX" "$prefix" || return 1
  export WINEPREFIX="$prefix"
  if [ -n "$STARTED_XVFB" ]; then kill "$STARTED_XVFB" 2>/dev/null || true; fi
  start_xvfb "$((${size%x*} + 100))x$((${size#*x} + 100))" || return 1
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
    /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d "$size" /f >/dev/null 2>&1
}

# The prepared prefix at another DPI (build/wineprefix-dpi<dpi>), its server
# up and its desktop warmed: for looking at the windows at 144 or 192 DPI.
# After setup_wine. Usage: setup_wine_dpi 144 1600x1200
setup_wine_dpi() {
  # Its server down first, so that the files copied hold all it knows.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  copy_prefix_at_dpi "$BUILD/wineprefix-dpi$1" "$1" "$2" || return 1
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  wineserver -p 600 >/dev/null 2>&1 || true
  timeout 120 wine cmd /c exit >/dev/null 2>&1 || true
}

# Ends only what this script started.
stop_env() {
  stop_lanes
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$STARTED_XVFB" ]; then kill "$STARTED_XVFB" 2>/dev/null || true; fi
}

# Lanes for running scenarios side by side: each its own Xvfb and its own copy
# of the prepared prefix (so its own Wine server, desktop, tray and temporary
# folder). Most scenarios spend their time waiting for the clock, so a few
# lanes share two cores well. After setup_wine; writes $VESKO_LANES/<n>.env,
# from which scripts/in_lane takes a free one for each scenario.
LANE_XVFBS=()
LANE_PREFIXES=()
start_lanes() {
  local count=$1 n base="$WINEPREFIX" display="$DISPLAY" xvfb="$STARTED_XVFB"
  export VESKO_LANES="$BUILD/lanes"
  rm -rf "$VESKO_LANES"; mkdir -p "$VESKO_LANES"
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  local warming=()
  for n in $(seq 1 "$count"); do
    local prefix="$BUILD/wineprefix-lane$n"
    rm -rf "$prefix"
    cp -a "$base" "$prefix" || return 1
    start_xvfb || return 1
    LANE_XVFBS+=("$STARTED_XVFB")
    LANE_PREFIXES+=("$prefix")
    printf 'export DISPLAY=%q WINEPREFIX=%q\n' "$DISPLAY" "$prefix" >"$VESKO_LANES/$n.env"
    # Each lane's server stays up, and its desktop comes up once, before anything is timed.
    (source "$VESKO_LANES/$n.env" && wineserver -p 600 >/dev/null 2>&1; timeout 120 wine cmd /c exit >/dev/null 2>&1) &
    warming+=($!)
  done
  # Only these: the lanes' Xvfb servers run in the background too.
  wait "${warming[@]}"
  export DISPLAY="$display" WINEPREFIX="$base" STARTED_XVFB="$xvfb"
  wineserver -p 600 >/dev/null 2>&1 || true
}

stop_lanes() {
  local prefix pid
  for prefix in "${LANE_PREFIXES[@]}"; do WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true; done
  for pid in "${LANE_XVFBS[@]}"; do kill "$pid" 2>/dev/null || true; done
  LANE_PREFIXES=() LANE_XVFBS=()
  unset VESKO_LANES
}

screenshot() {
  local out="$1"
  import -window root "$out" 2>/dev/null
}
