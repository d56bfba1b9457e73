#!/usr/bin/env bash
# Builds the release ZIP and checks that it holds what an administrator needs,
# and nothing else.
set -euo pipefail
build=${1:?build folder}
zip=${2:?package file name}
cmake --build "$build" --target package >/dev/null
actual=$(cd "$build" && cmake -E tar tf "$zip" | grep -v '/$' | sort)
expected=$(printf '%s\n' Polvane.exe Polvane.com README.md LICENSE \
  PolicyDefinitions/Polvane.admx PolicyDefinitions/en-US/Polvane.adml \
  deploy/startup.cmd deploy/Detect-PolvanePolicies.ps1 deploy/Get-PolvaneCompliance.ps1 \
  docs/screenshots/about-96.png docs/screenshots/main-96.png \
  docs/screenshots/about-120.png docs/screenshots/main-120.png \
  docs/screenshots/about-144.png docs/screenshots/main-144.png | sort)
if [ "$actual" != "$expected" ]; then
  echo "FAIL: the package holds"
  echo "$actual"
  echo "not"
  echo "$expected"
  exit 1
fi
echo "$zip holds $(echo "$actual" | wc -l) files, as it should"
