#!/usr/bin/env bash
# Installs what the benchmarks need beyond the build: Debian's pandas (and the
# sqlite3 shell, handy for looking into the cached stores). Only the side-by-side
# benchmark uses them; the application does not.
set -euo pipefail

packages=(python3 python3-pandas python3-numpy sqlite3)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
