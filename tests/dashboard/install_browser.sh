#!/usr/bin/env bash
# The browser test's set-up: installs Debian's chromium when it is missing. Only the tests need
# a browser; the demo and the dashboard itself do not.
set -euo pipefail
if command -v chromium >/dev/null 2>&1; then
  exit 0
fi
if [[ $(id -u) -ne 0 ]]; then
  echo "chromium is missing; install it (apt-get install chromium) to run the dashboard's browser test" >&2
  exit 1
fi
echo "installing chromium for the dashboard's browser test"
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends chromium
