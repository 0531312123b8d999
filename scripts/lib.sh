# Shared by the scripts: the two Windows architectures, where each is built, the Wine prefix
# and loader of each, and whether this machine can run it. Source it; it sets ROOT.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ARCHES=(win32 win64)

build_dir() { echo "$ROOT/build/$1"; }
prefix_dir() { echo "$ROOT/build/wineprefix-$1"; }
toolchain_file() { [ "$1" = win64 ] && echo "$ROOT/cmake/toolchain-x86_64-mingw.cmake" || echo "$ROOT/cmake/toolchain-i686-mingw.cmake"; }

# Debian's /usr/bin/wine takes the 32-bit loader whenever it is installed, even for a 64-bit
# program and even where the kernel cannot run it: the scripts name the loader themselves.
wine_loader() { [ "$1" = win64 ] && echo /usr/lib/wine/wine64 || echo /usr/lib/wine/wine; }

# Whether the kernel runs 32-bit x86 programs: a 96-byte 32-bit Linux program that exits with
# 42 is run (a kernel without IA-32 emulation answers "Exec format error").
kernel_runs_32bit() {
  local probe rc=0
  probe="$(mktemp "$ROOT/build/probe32.XXXXXX" 2>/dev/null || mktemp)"
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || rc=$?
  rm -f "$probe"
  [ "$rc" -eq 42 ]
}

# Why the programs of an architecture cannot run here (nothing when they can).
why_not_runnable() {
  if [ "$1" = win32 ] && ! kernel_runs_32bit; then
    echo "this machine's kernel does not run 32-bit programs"
  elif [ ! -x "$(wine_loader "$1")" ]; then
    [ "$1" = win64 ] && echo "64-bit Wine (wine64) is not installed" || echo "32-bit Wine (wine32:i386) is not installed"
  fi
}
runnable() { [ -z "$(why_not_runnable "$1")" ]; }

# The environment of an architecture's Wine: its prefix, its loader in $WINE. Wine's menu
# builder stays off: it would mirror the installer's Start menu shortcut into the host's
# desktop menus and keep registry values of its own about it, neither of which Windows has.
use_wine() {
  export WINEPREFIX
  WINEPREFIX="$(prefix_dir "$1")"
  export WINEARCH="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  WINE="$(wine_loader "$1")"
}

# The architecture to show a user: the 32-bit program where it runs, else the 64-bit one
# (PENWISE_ARCH=win32|win64 chooses).
run_arch() {
  if [ -n "${PENWISE_ARCH:-}" ]; then echo "$PENWISE_ARCH"
  elif runnable win32; then echo win32
  else echo win64
  fi
}
