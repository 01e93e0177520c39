# Sourced by test.sh, run.sh and bench.sh: which builds this host can run
# under Wine.
#
# talvorin_wine_arches sets TALVORIN_ARCHES (x86 and/or x64, the 32-bit build
# first), TALVORIN_ARCHES_LEFT (why each other build is left out) and
# TALVORIN_ARCHES_LINE, one line that says both. It returns 1 when no build
# can run.
#
# TALVORIN_WINE_ARCHES=x86|x64|x86,x64 forces the choice, whatever the host.
# Otherwise each loader is started once: a 32-bit loader can be installed and
# still refused by a kernel that runs no 32-bit code ("Exec format error").

# shellcheck source=wine-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-session.sh"

# talvorin_kernel_runs_32bit: whether this kernel starts 32-bit x86 programs
# at all, asked before any 32-bit Wine is installed. The probe is a 96-byte
# static ELF that only exits with 42, so it needs no 32-bit library; it is
# made in the tree, which may be executable where /tmp is not.
talvorin_kernel_runs_32bit() {
  if [[ -z ${TALVORIN_KERNEL_32BIT:-} ]]; then
    local dir status
    mkdir -p "$(dirname "${BASH_SOURCE[0]}")/../build"
    dir=$(mktemp -d "$(dirname "${BASH_SOURCE[0]}")/../build/probe32.XXXXXX")
    # The ELF header, one segment (all 96 bytes at 0x8048000), then the
    # code: exit(42) through int 0x80.
    local elf='\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0'
    elf+='\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0'
    elf+='\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x60\0\0\0\x60\0\0\0\x05\0\0\0\0\x10\0\0'
    elf+='\xb8\x01\0\0\0\xbb\x2a\0\0\0\xcd\x80'
    printf '%b' "$elf" >"$dir/probe"
    chmod +x "$dir/probe"
    "$dir/probe" 2>/dev/null && status=0 || status=$?
    rm -rf "$dir"
    TALVORIN_KERNEL_32BIT=$( ((status == 42)) && echo yes || echo no)
  fi
  [[ $TALVORIN_KERNEL_32BIT == yes ]]
}

talvorin_arch_name() {
  case $1 in
    x86) echo "32-bit (x86)" ;;
    x64) echo "64-bit (x64)" ;;
  esac
}

# talvorin_loader_starts ARCH: empty when it starts, else why not.
talvorin_loader_starts() {
  local loader output
  loader=$(talvorin_wine_loader "$1")
  if [[ ! -e $loader ]]; then
    if [[ $1 == x86 ]] && talvorin_kernel_runs_32bit; then
      echo "$loader is not installed, though this kernel runs 32-bit code (tools/setup.sh says why)"
    else
      echo "$loader is not installed"
    fi
    return 1
  fi
  if ! output=$("$loader" --version 2>&1); then
    output=$(printf '%s' "$output" | tail -n 1)
    echo "its loader cannot start here (${output:-no output})"
    return 1
  fi
}

talvorin_wine_arches() {
  TALVORIN_ARCHES=() TALVORIN_ARCHES_LEFT=()
  local arch why names=() left=()
  if [[ -n ${TALVORIN_WINE_ARCHES:-} ]]; then
    local wanted
    IFS=', ' read -r -a wanted <<<"$TALVORIN_WINE_ARCHES"
    for arch in x86 x64; do
      if [[ " ${wanted[*]} " == *" $arch "* ]]; then
        TALVORIN_ARCHES+=("$arch")
        names+=("$(talvorin_arch_name "$arch")")
      else
        left+=("$(talvorin_arch_name "$arch"): left out by TALVORIN_WINE_ARCHES=$TALVORIN_WINE_ARCHES")
      fi
    done
    for arch in "${wanted[@]}"; do
      if [[ $arch != x86 && $arch != x64 ]]; then
        TALVORIN_ARCHES_LINE="Wine floors: TALVORIN_WINE_ARCHES names '$arch'; use x86, x64 or x86,x64"
        TALVORIN_ARCHES=()
        return 1
      fi
    done
  else
    for arch in x86 x64; do
      if why=$(talvorin_loader_starts "$arch"); then
        TALVORIN_ARCHES+=("$arch")
        names+=("$(talvorin_arch_name "$arch")")
      else
        left+=("$(talvorin_arch_name "$arch"): $why")
      fi
    done
  fi

  local line="Wine floors: "
  if ((${#TALVORIN_ARCHES[@]} == 0)); then
    line+="no build can be tested under Wine on this host"
  else
    line+="testing the ${names[0]}"
    ((${#names[@]} > 1)) && line+=" and the ${names[1]}"
    ((${#names[@]} > 1)) && line+=" builds" || line+=" build"
  fi
  local reason
  for reason in "${left[@]}"; do line+="; not the $reason"; done
  TALVORIN_ARCHES_LINE=$line
  TALVORIN_ARCHES_LEFT=("${left[@]}")
  ((${#TALVORIN_ARCHES[@]} > 0))
}

# talvorin_build_arch [x86|x64]: builds the preset of that architecture, or of
# the first one this host can run under Wine, and sets TALVORIN_ARCH and
# TALVORIN_PRESET. Fails, saying why, where none can run.
talvorin_build_arch() {
  TALVORIN_ARCH=${1:-}
  if [[ -z $TALVORIN_ARCH ]]; then
    talvorin_wine_arches || { echo "$TALVORIN_ARCHES_LINE"; return 1; }
    TALVORIN_ARCH=${TALVORIN_ARCHES[0]}
  fi
  TALVORIN_PRESET=$(talvorin_preset_of "$TALVORIN_ARCH")
  cmake --preset "$TALVORIN_PRESET" >/dev/null && cmake --build --preset "$TALVORIN_PRESET" >/dev/null
}
