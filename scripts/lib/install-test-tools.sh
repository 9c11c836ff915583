#!/usr/bin/env bash
# Test oracles that come from the npm registry: the IGC parser that reads our files and the
# cross-country scorer igc-xc-score (whose package brings the real flights its tests use).
set -euo pipefail
source "$(dirname "$0")/common.sh"
qr_install_node
tools="$QR_ROOT/tests/tools"
if [ ! -d "$tools/node_modules/igc-parser" ] || [ ! -d "$tools/node_modules/igc-xc-score" ]; then
    (cd "$tools" && npm install --no-audit --no-fund --no-package-lock --loglevel=error >/dev/null) || {
        echo "warning: npm could not install igc-parser and igc-xc-score" >&2
        [ "${CI:-}" = "true" ] && exit 1
    }
fi
exit 0
