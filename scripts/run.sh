#!/usr/bin/env bash
# Builds Durnmoor, installs it into the user's own prefix (~/.local: the program, its guide, its
# menu entry and icon; no root needed) and starts that copy. An installed copy keeps its data in
# the per-user data folder, so a clean rebuild (rm -rf build) never touches a record.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DDURNMOOR_BENCH=OFF
cmake --build build -j2 --target durnmoor
prefix="$HOME/.local"
cmake --install build --prefix "$prefix" >/dev/null
data="${XDG_DATA_HOME:-$HOME/.local/share}/Durnmoor"

# Records an earlier version of this command kept beside the program in build/ go with the
# user on the first start of the installed copy (copied; the old files stay where they were).
files=(products.dat history.dat contacts.dat security.dat)
have_data=no
for f in "${files[@]}"; do [ -e "$data/$f" ] && have_data=yes; done
if [ "$have_data" = no ]; then
  for f in "${files[@]}"; do
    if [ -f "build/$f" ]; then
      mkdir -p -m 700 "$data"
      cp -p "build/$f" "$data/$f"
      echo "Copied the records of build/$f to $data/$f"
    fi
  done
fi

echo "Durnmoor is installed as $prefix/bin/durnmoor (also in the desktop's menu)."
echo "Its data lives in $data"
exec "$prefix/bin/durnmoor"
