#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and any named
# as arguments, when missing. Runs apt-get only when something is missing
# (and only as root). Chromium, for the browser test, is installed when it
# can be; without it that test says SKIPPED.
set -euo pipefail

packages=(cmake make g++ libgtest-dev nlohmann-json3-dev libxml2-utils clang libfuzzer-14-dev
          libclang-rt-14-dev tmux clang-format libxslt1-dev libssl-dev openssl xmlsec1 python3 "$@")
optional=(chromium)
missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: run as root to install ${missing[*]}" >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
missing_optional=()
for package in "${optional[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing_optional+=("$package")
done
if [ ${#missing_optional[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: not root, so ${missing_optional[*]} is not installed; the browser test will say SKIPPED" >&2
  else
    echo "Installing: ${missing_optional[*]}"
    { [ ${#missing[@]} -gt 0 ] || apt-get update -qq; } &&
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing_optional[@]}" >/dev/null ||
      echo "setup: ${missing_optional[*]} could not be installed; the browser test will say SKIPPED" >&2
  fi
fi
