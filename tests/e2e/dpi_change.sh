#!/usr/bin/env bash
# The settings window at 144 DPI needs a desktop larger than the lanes' own
# (1000 x 700): this runs the DPI-change scenario on a copy of the current
# prefix at 96 DPI whose desktop is 1400 x 1100, on an Xvfb of its own, and
# ends both.
# Usage: dpi_change.sh <vesko_e2e.exe>
set -uo pipefail
driver=$1
# shellcheck source=../../scripts/lib.sh
source "$(dirname "$0")/../../scripts/lib.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/vesko-dpi.XXXXXX")
cleanup() {
  WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true
  [ -n "$STARTED_XVFB" ] && kill "$STARTED_XVFB" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
copy_prefix_at_dpi "$work/prefix" 96 1400x1100 || exit 1
timeout 150 wine "$driver" --gtest_filter='DpiChange.TheRunningSettingsWindow*'
