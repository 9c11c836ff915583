#!/usr/bin/env bash
# Test oracles that come from the npm registry: the IGC parser that reads our files.
set -euo pipefail
source "$(dirname "$0")/common.sh"
qr_install_node
tools="$QR_ROOT/tests/tools"
if [ ! -d "$tools/node_modules/igc-parser" ]; then
    (cd "$tools" && npm install --no-audit --no-fund --no-package-lock --loglevel=error >/dev/null) || {
        echo "warning: npm could not install igc-parser" >&2
        [ "${CI:-}" = "true" ] && exit 1
    }
fi
exit 0
