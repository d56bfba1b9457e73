# Sourced by every script that starts Wine. Debian's /usr/bin/wine picks the
# 32-bit loader whenever wine32 is installed, whether or not the kernel can
# run it, so the scripts name each build's own loader and call it directly.

# Whether the kernel runs 32-bit x86 programs. Some kernels are started
# without 32-bit emulation, and there every 32-bit Wine process fails with
# "Exec format error". This asks the kernel itself, with a program of three
# instructions that only exits.
runs_32bit_programs() {
  local dir status=0
  dir=$(mktemp -d)
  printf '.globl _start\n_start: movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$dir/exit.s"
  if ! as --32 -o "$dir/exit.o" "$dir/exit.s" || ! ld -m elf_i386 -o "$dir/exit" "$dir/exit.o"; then
    rm -rf "$dir"
    echo "cannot build the 32-bit probe: are binutils installed?" >&2
    exit 1
  fi
  "$dir/exit" 2>/dev/null || status=$?
  rm -rf "$dir"
  return $status
}

# The Windows build this machine can run: i686 where the kernel allows,
# otherwise x86_64.
runnable_arch() {
  if runs_32bit_programs; then echo i686; else echo x86_64; fi
}

# The CMake preset of an architecture's Windows build; its build folder is
# build/<preset>.
preset_of() {
  case $1 in
    i686) echo windows ;;
    x86_64) echo windows-x64 ;;
    *) echo "unknown architecture $1" >&2; exit 2 ;;
  esac
}

# Exports what Wine needs to run an architecture's build: its loader, the
# prefix kind, and the build's own prefix unless WINEPREFIX is set already.
use_wine_for() {
  case $1 in
    i686) export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine ;;
    x86_64) export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 ;;
    *) echo "unknown architecture $1" >&2; exit 2 ;;
  esac
  export WINEPREFIX=${WINEPREFIX:-$PWD/build/$(preset_of "$1")/wineprefix}
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

# wine, through the loader chosen above (or by ctest's environment).
wine() { "${WINELOADER:?no Wine loader chosen}" "$@"; }
