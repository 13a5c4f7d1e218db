# Shared by scripts/run and scripts/test: packages, builds, and the Wine/Xvfb
# environment. Source it; it defines functions and sets ROOT.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"

APT_PACKAGES=(cmake make g++ python3 googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64 xvfb x11-utils imagemagick
  fonts-ipafont-gothic fonts-wine locales clang-format inotify-tools)

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

# native: core + unit tests; win64: vesko.exe + e2e driver; win32: vesko.exe only.
build_native() {
  cmake -S "$ROOT" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$BUILD/native" -j2
}
build_win64() {
  cmake -S "$ROOT" -B "$BUILD/win64" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw.cmake" -DVESKO_ARCH=x86_64 >/dev/null
  cmake --build "$BUILD/win64" -j2
}
build_win32() {
  cmake -S "$ROOT" -B "$BUILD/win32" -DCMAKE_BUILD_TYPE=Release -DVESKO_NO_E2E=ON \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw.cmake" -DVESKO_ARCH=i686 >/dev/null
  cmake --build "$BUILD/win32" -j2 --target vesko
}

STARTED_XVFB=""
# Starts Xvfb on a free display and exports DISPLAY.
start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
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
setup_wine() {
  export WINEPREFIX="$BUILD/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  # Code page 932 for the programs and UTF-8 file names (ensure_packages
  # generates the locale).
  export LC_ALL=ja_JP.UTF-8 2>/dev/null
  export WINEARCH=win64
  if [ ! -f "$WINEPREFIX/.vesko-ready" ]; then
    log "preparing the Wine prefix (once)"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
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

# Ends only what this script started.
stop_env() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$STARTED_XVFB" ]; then kill "$STARTED_XVFB" 2>/dev/null || true; fi
}

screenshot() {
  local out="$1"
  import -window root "$out" 2>/dev/null
}
