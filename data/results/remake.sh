#!/usr/bin/env bash
# Remakes the results pairs of this folder (solver results ".frd" and the input deck ".inp" they
# were computed from) by running each study through the engine: ./remake.sh [BUILD_DIR]
set -euo pipefail
build="$(cd "${1:-build/release}" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
for study in "$here"/*.study; do
  name="$(basename "$study" .study)"
  work="$("$build/bin/study" "$study" | sed -n 's/^Work folder: //p')"
  deck="$(ls "$work"/*.inp | head -1)"
  cp "$deck" "$here/$name.inp"
  cp "${deck%.inp}.frd" "$here/$name.frd"
  echo "$name: $(grep -c '^ -1' "$here/$name.frd") value lines"
done
