#!/usr/bin/env bash
# Installs the Debian packages of tools/debian-packages.txt that are not installed yet,
# so a warm machine does not run apt at all.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

missing=()
while read -r package; do
    [[ -z "$package" || "$package" == \#* ]] && continue
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done < "$here/debian-packages.txt"

if (( ${#missing[@]} )); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    (( EUID == 0 )) || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
