# Shared by scripts/test and scripts/run: the two build trees, the Wine prefix
# and a private X display. Source it; it defines functions only.

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root=${VELKOR_BUILD:-$top/build}
native_tree=$build_root/native
win_tree=$build_root/win
jobs=${VELKOR_JOBS:-2}

# A compiler cache, when one is installed, makes fresh trees (CI, a second
# checkout) build in a fraction of the time; paths inside the checkout are
# hashed relative to it, so checkouts in other folders share the cache.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=$top CCACHE_NOHASHDIR=1
fi

velkor_setup() {
  "$top/scripts/setup"
}

velkor_build_native() {
  if [ ! -f "$native_tree/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$native_tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
  fi
  cmake --build "$native_tree" -j "$jobs"
}

velkor_build_win() {
  if [ ! -f "$win_tree/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$win_tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
      -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" >/dev/null
  fi
  cmake --build "$win_tree" -j "$jobs"
}

# The Release configuration of the Windows tree, the one the README's
# Windows build names: built only (the tests run in the tree above), so that
# what only the optimiser warns about is found here first.
win_release_tree=$build_root/win-release
velkor_build_win_release() {
  if [ ! -f "$win_release_tree/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$win_release_tree" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
      -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" >/dev/null
  fi
  cmake --build "$win_release_tree" -j "$jobs"
}

# Starts a private Xvfb and exports DISPLAY; velkor_stop_display ends it.
xvfb_pid=
velkor_start_display() {
  local fdfile
  fdfile=$(mktemp)
  # Every Wine program with a window is one X client; the benchmarks run
  # hundreds of them, above Xvfb's default limit of 256.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -maxclients 1024 -nolisten tcp -nolisten unix 3>"$fdfile" >/dev/null 2>&1 &
  xvfb_pid=$!
  local i
  for i in $(seq 1 200); do
    [ -s "$fdfile" ] && break
    sleep 0.05
  done
  if [ ! -s "$fdfile" ]; then
    # Some Xvfb builds need the unix socket; try again with it.
    kill "$xvfb_pid" 2>/dev/null || true
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -maxclients 1024 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    xvfb_pid=$!
    for i in $(seq 1 200); do
      [ -s "$fdfile" ] && break
      sleep 0.05
    done
  fi
  export DISPLAY=":$(tr -d '\n' <"$fdfile")"
  rm -f "$fdfile"
}

velkor_stop_display() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
  fi
}

# The tree's Wine prefix: created once, then its background processes and a
# persistent server are started before any program of ours runs, so that no
# test ever starts Wine's services (which would inherit the test's pipes).
velkor_wine_env() {
  export WINEPREFIX=$win_tree/wine
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

velkor_wine_up() {
  velkor_wine_env
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i </dev/null >/dev/null 2>&1 || true
    # No window manager runs on the private display: Wine draws the frames itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
    wineserver -w
  fi
  # Wine draws the caption buttons with the Marlett font, but this Wine does
  # not look into the folder of its own fonts (fonts-wine): without a copy in
  # the prefix they come out as the letters "0 1 r".
  local marlett=/usr/share/wine/fonts/marlett.ttf fonts=$WINEPREFIX/drive_c/windows/Fonts
  if [ -f "$marlett" ] && [ -d "$fonts" ] && ! cmp -s "$marlett" "$fonts/marlett.ttf"; then
    cp "$marlett" "$fonts/marlett.ttf"
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Marlett (TrueType)' /d marlett.ttf /f \
      </dev/null >/dev/null 2>&1 || true
  fi
  wineboot </dev/null >/dev/null 2>&1 || true
  wineserver -p </dev/null >/dev/null 2>&1 || true
}

velkor_wine_down() {
  velkor_wine_env
  wineserver -k >/dev/null 2>&1 || true
}

# The prefix's screen DPI (Wine reads LogPixels when a program starts) for a
# run; velkor_restore_dpi puts back what was there before.
dpi_key='HKCU\Control Panel\Desktop'
dpi_saved=
dpi_changed=0
velkor_set_dpi() {
  [ -n "$1" ] || return 0
  dpi_saved=$(wine reg query "$dpi_key" /v LogPixels </dev/null 2>/dev/null | tr -d '\r' |
    awk '/LogPixels/ {print $3}') || true
  wine reg add "$dpi_key" /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
  dpi_changed=1
}
velkor_restore_dpi() {
  [ "$dpi_changed" = 1 ] || return 0
  if [ -n "$dpi_saved" ]; then
    wine reg add "$dpi_key" /v LogPixels /t REG_DWORD /d "$((dpi_saved))" /f </dev/null >/dev/null 2>&1 || true
  else
    wine reg delete "$dpi_key" /v LogPixels /f </dev/null >/dev/null 2>&1 || true
  fi
  dpi_changed=0
}
