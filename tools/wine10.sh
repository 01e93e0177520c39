#!/usr/bin/env bash
# The second test bed: Debian 13's Wine 10 in a Debian 13 root of its own,
# beside the host's Wine 8. Wine 10 virtualises DPI and delivers window
# events out of context, as Windows does; its libraries need Debian 13's C
# library, so it runs in that root and not on the host.
#
#   wine10.sh make           makes the root once (about 4 min, 3.5 GB), or
#                            brings an existing one up to the package list
#   wine10.sh run CMD...     runs CMD in the root, this tree at its own path
#   wine10.sh root           prints where the root is
#
# The root is kept outside the build tree ($TALVORIN_WINE10_ROOT, by default
# under /var/cache), so that later runs on the machine reuse it. Every mount
# lives in a private mount and process namespace: when CMD ends or dies, its
# processes go and nothing stays mounted.
set -euo pipefail

ROOT_DIR=${TALVORIN_WINE10_ROOT:-/var/cache/talvorin/debian13-wine10}
SUITE=trixie
TREE=$(cd "$(dirname "$0")/.." && pwd)

# What the Wine tests use inside the root. fonts-wine and fonts-liberation
# are only recommended in Debian 13: without them there is no Marlett and
# the Start button takes another width. cmake brings ctest, which runs the
# tests there as on the host.
packages=(
  wine wine64 fonts-wine fonts-liberation
  xvfb xauth xdotool imagemagick x11-utils procps locales cmake
)

# A kernel that runs 32-bit code runs the 32-bit build under Wine 10 too,
# whether or not the host's own 32-bit Wine could be installed.
# shellcheck source=wine-arches.sh
source "$TREE/tools/wine-arches.sh"

wanted_packages() {
  printf '%s\n' "${packages[@]}"
  talvorin_kernel_runs_32bit && echo wine32:i386
  return 0
}

as_root() {
  if [[ $(id -u) -ne 0 ]]; then
    echo "wine10.sh: needs root (debootstrap, chroot and mounts)" >&2
    return 1
  fi
}

# in_root CMD...: CMD in the root, in namespaces of its own.
in_root() {
  unshare --mount --pid --fork --kill-child -- bash -euc '
    root=$1 tree=$2
    shift 2
    mount --make-rprivate /
    mount -t proc proc "$root/proc"
    mount --rbind /sys "$root/sys"
    mount --rbind /dev "$root/dev"
    # A /tmp of its own: X and Wine keep their sockets there, and none of a
    # run that died can stand in the way of the next.
    mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
    mkdir -p "$root$tree"
    mount --bind "$tree" "$root$tree"
    cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
    # Wine 10 aborts in wineboot with TMPDIR set ("free(): invalid pointer").
    # TALVORIN_WINE_BED keeps its prefixes and scratch folders apart from
    # those of the host'"'"'s Wine 8 in the same build tree.
    exec chroot "$root" /usr/bin/env -u TMPDIR TALVORIN_WINE_BED=wine10 HOME=/root PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin \
      bash -c "cd \"\$0\" && exec \"\$@\"" "$tree" "$@"
  ' bash "$ROOT_DIR" "$TREE" "$@"
}

make_root() {
  as_root
  local stamp=$ROOT_DIR/.talvorin-bed want
  want=$(wanted_packages | sort | sha256sum | cut -c1-16)
  if [[ -f $stamp && $(cat "$stamp") == "$want" ]]; then
    echo "wine10: the Debian 13 root is ready at $ROOT_DIR"
    return 0
  fi
  mkdir -p "$(dirname "$ROOT_DIR")"
  exec 9>"$ROOT_DIR.lock"
  flock 9
  [[ -f $stamp && $(cat "$stamp") == "$want" ]] && return 0

  command -v debootstrap >/dev/null || {
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q debootstrap </dev/null
  }
  local started=$SECONDS
  if [[ ! -x $ROOT_DIR/usr/bin/apt-get ]]; then
    # Whatever an earlier, broken attempt left is made anew.
    rm -rf "$ROOT_DIR"
    local mirror
    mirror=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
    [[ -n $mirror ]] || mirror=$(awk '$1 == "deb" {print $2; exit}' /etc/apt/sources.list 2>/dev/null || true)
    [[ -n $mirror ]] || mirror=http://deb.debian.org/debian
    echo "wine10: debootstrap $SUITE from $mirror into $ROOT_DIR"
    debootstrap --variant=minbase --include=ca-certificates "$SUITE" "$ROOT_DIR.new" "$mirror" \
      >"$ROOT_DIR.debootstrap.log" 2>&1 || {
      tail -20 "$ROOT_DIR.debootstrap.log" >&2
      echo "wine10: debootstrap failed (log: $ROOT_DIR.debootstrap.log)" >&2
      return 1
    }
    mv -T "$ROOT_DIR.new" "$ROOT_DIR"
  fi
  # The host's apt settings (a mirror that serves older lists, for one) hold
  # inside too.
  cp /etc/apt/apt.conf.d/* "$ROOT_DIR/etc/apt/apt.conf.d/" 2>/dev/null || true
  local list
  list=$(wanted_packages | tr '\n' ' ')
  in_root bash -euc '
    export DEBIAN_FRONTEND=noninteractive
    case " $1 " in *:i386*) dpkg --add-architecture i386 ;; esac
    apt-get update -q
    apt-get install -y -q --no-install-recommends $1 </dev/null
    apt-get clean
  ' bash "$list" >"$ROOT_DIR.install.log" 2>&1 || {
    tail -20 "$ROOT_DIR.install.log" >&2
    echo "wine10: installing Wine 10 in the root failed (log: $ROOT_DIR.install.log)" >&2
    return 1
  }
  echo "$want" >"$stamp"
  echo "wine10: made the Debian 13 root in $((SECONDS - started)) s ($(du -sh "$ROOT_DIR" | cut -f1)):" \
    "$(in_root wine --version 2>/dev/null || echo 'wine did not start')"
}

case ${1:-} in
  make) make_root ;;
  run)
    shift
    as_root
    [[ -f $ROOT_DIR/.talvorin-bed ]] || { echo "wine10: no root yet: run wine10.sh make" >&2; exit 1; }
    in_root "$@"
    ;;
  root) echo "$ROOT_DIR" ;;
  *)
    echo "usage: wine10.sh make | run CMD... | root" >&2
    exit 2
    ;;
esac
