#!/usr/bin/env bash
# Installs the Debian packages of the Windows build and its tests, when
# missing: the common ones, and those named in WINDOWS_PACKAGES (the cross
# compilers, wine64, the GoogleTest sources).
set -euo pipefail
# shellcheck disable=SC2086  # the list is split on purpose
exec "$(dirname "$0")/setup.sh" ${WINDOWS_PACKAGES:-}
