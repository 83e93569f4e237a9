# Set-up shared by the scripts that drive xfoil (the Debian package); they
# source it after `set -euo pipefail`.
#
# xfoil opens its X display even when driven from standard input, so it runs
# under xvfb-run, or with a display server started once for many runs. Its
# Fortran run-time traps floating-point exceptions and the Debian build dies
# with SIGFPE in its inviscid solve (also on its own NACA 0012); a two-line
# shim, preloaded, leaves that trap set-up undone.
#
#   xfoil_setup NAME TOOL...  each TOOL a command (its Debian package
#                             installed where it is missing and known:
#                             xfoil, xvfb, hyperfine), or an executable path
#                             (with a slash), or "NAME: TOOL is not installed"
#                             (not built) and exit 1; then the work folder $work
#                             (removed on exit, with the display server of
#                             xfoil_display) and the shim $work/nofpe.so
#   xfoil_run SECONDS         xfoil in $work under xvfb-run with the shim, its
#                             session on standard input, killed after SECONDS
#   xfoil_display             a display server of our own: $display, for
#                             DISPLAY=$display LD_PRELOAD=$work/nofpe.so xfoil

# The Debian package that holds a command these scripts use, or nothing.
xfoil_package() {
  case $1 in
    xfoil) echo xfoil ;;
    xvfb-run | Xvfb) echo xvfb ;;
    hyperfine) echo hyperfine ;;
  esac
}

# A command, its package installed first where it is missing.
xfoil_tool() {
  local tool=$1 package
  command -v "$tool" >/dev/null && return 0
  package=$(xfoil_package "$tool")
  [ -n "$package" ] || return 1
  "$(dirname "${BASH_SOURCE[0]}")/ensure-packages.sh" "$package" >&2 || return 1
  command -v "$tool" >/dev/null
}

xfoil_setup() {
  local name=$1 tool
  shift
  for tool in "$@"; do
    case $tool in
      */*) [ -x "$tool" ] || { echo "$name: $tool is not built" >&2; exit 1; } ;;
      *) xfoil_tool "$tool" || { echo "$name: $tool is not installed" >&2; exit 1; } ;;
    esac
  done
  work=$(mktemp -d "${TMPDIR:-/tmp}/$name.XXXXXX")
  xvfb_pid=""
  trap xfoil_cleanup EXIT
  printf 'void _gfortran_set_fpe(int traps) { (void)traps; }\n' >"$work/nofpe.c"
  ${CC:-cc} -shared -fPIC -o "$work/nofpe.so" "$work/nofpe.c"
}

xfoil_cleanup() {
  if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}

xfoil_run() {
  (cd "$work" && LD_PRELOAD="$work/nofpe.so" timeout "$1" xvfb-run -a xfoil)
}

xfoil_display() {
  display=:$((90 + RANDOM % 400))
  Xvfb "$display" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  sleep 1
}
