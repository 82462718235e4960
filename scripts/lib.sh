# Shared by the developer scripts: where things are, and a virtual display for machines without one.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

configure_and_build() { # build-dir build-type [cmake options...] -- [targets...]
  local dir=$1 type=$2
  shift 2
  local options=() targets=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  targets=("$@")
  cmake -S "$root" -B "$root/build/$dir" -DCMAKE_BUILD_TYPE="$type" "${options[@]}" >/dev/null
  if [ ${#targets[@]} -gt 0 ]; then
    cmake --build "$root/build/$dir" -j"$jobs" --target "${targets[@]}"
  else
    cmake --build "$root/build/$dir" -j"$jobs"
  fi
}

# The x.y.z of the project() line: the version every package and installer carries.
project_version() {
  sed -n 's/^project(VelkorEditor VERSION \([0-9]*\.[0-9]*\.[0-9]*\)[ )].*/\1/p' "$root/CMakeLists.txt"
}

# Polls a command until it succeeds or the seconds run out: tests wait on windows and files this way.
wait_until() { # seconds command...
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.2
  done
}

# Starts Xvfb (and openbox, for title bars and focus) and exports DISPLAY; stop_virtual_display ends them.
start_virtual_display() { # [screen size, 1600x1000]
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${1:-1600x1000}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  local number
  read -r -t 20 number <"$fifo" || { echo "Xvfb did not start" >&2; rm -f "$fifo"; return 1; }
  rm -f "$fifo"
  export DISPLAY=":$number"
  # A window mapped before openbox manages the screen is placed again once it does, and moves.
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  openbox --startup "sh -c 'echo up >$fifo'" >/dev/null 2>&1 &
  wm_pid=$!
  read -r -t 20 _ <"$fifo" || echo "openbox did not report its start" >&2
  rm -f "$fifo"
}

stop_virtual_display() {
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
}
