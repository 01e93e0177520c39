#!/usr/bin/env bash
# The long run of tools/soak.sh, cut short for every test run.
SOAK_SECONDS=${SOAK_SECONDS:-15} SOAK_RESTORES=${SOAK_RESTORES:-8} SOAK_MENUS=${SOAK_MENUS:-8} \
  SOAK_ABOUTS=${SOAK_ABOUTS:-2} SOAK_MOVES=${SOAK_MOVES:-5} SOAK_RECREATES=${SOAK_RECREATES:-2} exec bash "$(dirname "$0")/../soak/soak.sh"
