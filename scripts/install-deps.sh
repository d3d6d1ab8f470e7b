#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, and only those
# that are missing. Quiet and quick when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  fonts-dejavu-core locales
)

# The tests prove that number text ignores a comma locale; they need one.
test_locale=de_DE.UTF-8
has_test_locale() { locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; }

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
if [[ ${#missing[@]} -eq 0 ]] && has_test_locale; then exit 0; fi

if [[ $(id -u) -eq 0 ]]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "Packages ${missing[*]} are missing and neither root nor sudo is available." >&2
  exit 1
fi
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing missing packages: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if ! has_test_locale; then
  echo "Generating the $test_locale locale for the tests"
  "${as_root[@]}" localedef -i de_DE -f UTF-8 "$test_locale"
fi
