#!/usr/bin/env bash
# The demo: runs the host on a script that makes, saves and reopens a drawing and lists it.
set -euo pipefail
build="$(cd "${1:-build/release}" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="$(mktemp -d "${TMPDIR:-/tmp}/kestrum-demo-XXXXXX")"
if [ ! -x "$build/bin/cadhost" ]; then
  echo "The host program is not built yet ($build/bin/cadhost)." >&2
  exit 1
fi
cd "$out"
"$build/bin/cadhost" --script "$here/demo.scr"
# Results: the three shipped results pairs imported through the Explorer's "Open File..." under a
# simulation model, and their pictures saved.
sed -e "s|@BUILD@|$build|g" -e "s|@DATA@|$here/../results|g" "$here/results.scr" > results.scr
"$build/bin/cadhost" --script results.scr
# Solving: the sample plate made a simulation model, meshed, held and loaded through the add-in's
# dialogs, solved, its job opened from the Explorer, its summary and picture written.
sed -e "s|@BUILD@|$build|g" "$here/solve_plate.scr" > solve_plate.scr
"$build/bin/cadhost" --script solve_plate.scr
# The guided stress example: the plate walked through the stress guide's steps, each step's
# wizard answered, and solved.
sed -e "s|@BUILD@|$build|g" "$here/guided_stress.scr" > guided_stress.scr
"$build/bin/cadhost" --script guided_stress.scr
# The guided heat example: a new material in a scratch copy of the shipped library.
cp "$here/../zq_fea.mat" guided-heat.mat
sed -e "s|@BUILD@|$build|g" "$here/guided_heat.scr" > guided_heat.scr
"$build/bin/cadhost" --script guided_heat.scr
# The same plate held by rollers and solved h-adaptively: the mesh refined where the estimated
# stress error is largest, the last pass's results kept.
sed -e "s|@BUILD@|$build|g" "$here/solve_plate_adaptive.scr" > solve_plate_adaptive.scr
"$build/bin/cadhost" --script solve_plate_adaptive.scr
# The guide's Analyze step alone on a plate set up through the add-in's sheets: the analyze
# wizard's material, solid, element size and start, then the results picture.
sed -e "s|@BUILD@|$build|g" "$here/guided_analyze.scr" > guided_analyze.scr
"$build/bin/cadhost" --script guided_analyze.scr
# The design doctor on the plate loaded past its yield: the yield and factor-of-safety tests fail; a
# higher yield entered on the doctor's page passes both, and U gives the material its yield back.
sed -e "s|@BUILD@|$build|g" "$here/doctor_yield.scr" > doctor_yield.scr
"$build/bin/cadhost" --script doctor_yield.scr
echo "Demo outputs are in $out"
