#!/usr/bin/env bash
# Takes the README's screenshots afresh from the current build: runs the
# screenshots scenario under Wine (the 32-bit build where it can run) and
# copies its pictures to docs/screenshots.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
bash tools/setup.sh >/dev/null
source tools/wine-env.sh
source tools/wine-arches.sh
talvorin_build_arch
preset=$TALVORIN_PRESET
# ctest ends well when no test matches: a scenario renamed or a build without
# its e2e tests would leave the old pictures standing as new.
ctest --preset "$preset" -R '^e2e\.screenshots$' --no-tests=error --output-on-failure
mkdir -p docs/screenshots
# The pictures the README shows, each of them from this run.
for name in taskbar settings menu about; do
  cp "build/$preset/tests/e2e/run/screenshots/$name.png" docs/screenshots/
done
echo "screenshots of the $TALVORIN_ARCH build in docs/screenshots:"
ls docs/screenshots
