#!/usr/bin/env bash
# Installs the Debian packages of the Windows build and its tests, when
# missing: the common ones, and those named in WINDOWS_PACKAGES (the cross
# compilers, wine64, the GoogleTest sources). Runs apt-get only when
# something is missing (and only as root).
set -euo pipefail

packages=(cmake make nlohmann-json3-dev ${WINDOWS_PACKAGES:-})
missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "windows-setup: run as root to install ${missing[*]}" >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
