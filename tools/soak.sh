#!/usr/bin/env bash
# The long run: talvorin.exe under Wine for SOAK_SECONDS (600), with the
# settings window minimised and restored 100 times, the tray menu opened and
# cancelled 100 times, the About window opened, animated and closed 50
# times, and with the caption's overlay shown, the Start button moved 100
# times and the taskbar made anew 20 times meanwhile. Prints the GDI and
# USER objects the program holds and its working set at the start and at
# the end, and fails if any grew.
#
#   bash tools/soak.sh [x86|x64]     (the 32-bit build where it can run)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
bash tools/setup.sh >/dev/null
source tools/wine-env.sh
source tools/wine-arches.sh

talvorin_build_arch "${1:-}"
arch=$TALVORIN_ARCH preset=$TALVORIN_PRESET
build=$ROOT/build/$preset
export TALVORIN_EXE=$build/app/talvorin.exe TDRIVER=$build/tests/e2e/tdriver.exe
export E2E_WORK=$build/tests/e2e/soak E2E_LOCALE=$build/locale TALVORIN_WINE_ARCH=$arch
echo "soak: the $arch build for ${SOAK_SECONDS:-600} s"
bash tests/e2e/desktop.sh start
status=0
bash tests/e2e/soak/soak.sh || status=$?
bash tests/e2e/desktop.sh stop
exit "$status"
