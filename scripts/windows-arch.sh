# Sourced by the Windows checks (test-windows, test-package): which Windows
# build they can run under Wine on this machine.
#
# The program is built for 32-bit Windows. Running 32-bit Windows programs
# under Wine needs a kernel that runs 32-bit x86 programs, and some kernels
# are built or booted without that (no IA-32 emulation: "Exec format error").
# There the 32-bit executables are still built, and the checks run a 64-bit
# build of the same code instead.

# True when this machine runs 32-bit x86 Linux programs. Asks the kernel
# directly: a 93-byte static i386 program that only calls exit(0). $1 is a
# folder to write it to (it must allow running programs).
runs_32bit_programs() {
  case "$(uname -m)" in
  x86_64 | i?86) ;;
  *) return 1 ;;
  esac
  local probe="$1/exit0-i386"
  # ELF header, one loadable segment at 0x08048000, then
  # mov eax, 1; xor ebx, ebx; int 0x80.
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$probe"
  printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$probe"
  printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >>"$probe"
  printf '\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010' >>"$probe"
  printf '\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000' >>"$probe"
  printf '\000\020\000\000\270\001\000\000\000\061\333\315\200' >>"$probe"
  chmod +x "$probe"
  local status=0
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  return $status
}

# The Windows architecture whose programs the checks run: ORVANEL_WINDOWS_ARCH
# when set (i686 or x86_64), else i686 where 32-bit programs run and x86_64
# elsewhere. $1 as for runs_32bit_programs.
windows_run_arch() {
  case "${ORVANEL_WINDOWS_ARCH:-}" in
  i686 | x86_64) echo "$ORVANEL_WINDOWS_ARCH" ;;
  "")
    if runs_32bit_programs "$1"; then
      echo i686
    else
      echo x86_64
    fi
    ;;
  *)
    echo "ORVANEL_WINDOWS_ARCH must be i686 or x86_64" >&2
    return 2
    ;;
  esac
}

# Sets WINEARCH, ORVANEL_WINE and wine_packages (the Debian packages that run
# programs of that architecture) for architecture $1.
use_wine_for() {
  case "$1" in
  i686)
    export WINEARCH=win32 ORVANEL_WINE=wine
    wine_packages=(wine wine32)
    ;;
  x86_64)
    # Debian's wine command prefers the 32-bit loader when wine32 is there;
    # WINELOADER is what Wine itself starts further programs with.
    export WINEARCH=win64 ORVANEL_WINE=/usr/lib/wine/wine64 WINELOADER=/usr/lib/wine/wine64
    wine_packages=(wine wine64)
    ;;
  esac
}
