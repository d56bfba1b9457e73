# Sourced by the scripts that run Polvane under Wine outside ctest: chooses
# the build this machine can run (or the one POLVANE_ARCH names, i686 or
# x86_64), exports its loader and prefix, starts a
# private Xvfb screen when there is no display, brings the prefix up, and
# undoes all of it when the script exits.
source scripts/lib/wine.sh
arch=${POLVANE_ARCH:-$(runnable_arch)}
build=build/$(preset_of "$arch")
use_wine_for "$arch"

session_cleanups=()
session_exit() {
  for ((i = ${#session_cleanups[@]} - 1; i >= 0; i--)); do eval "${session_cleanups[i]}"; done
}
trap session_exit EXIT

start_wine_session() {
  # Wine's desktop process binds to the display it starts on, so a private
  # screen comes first.
  if [ -z "${DISPLAY:-}" ]; then
    local number=$(((RANDOM % 400) + 100))
    while [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number + 1)); done
    export DISPLAY=":$number"
    Xvfb "$DISPLAY" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
    session_cleanups+=("kill $! 2>/dev/null")
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  fi
  bash scripts/wine-prefix.sh up "$WINEPREFIX"
  session_cleanups+=("bash scripts/wine-prefix.sh down '$WINEPREFIX'")
}
