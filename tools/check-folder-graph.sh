#!/usr/bin/env bash
# Fails when the folders under src/ include one another in a cycle. An edge
# A -> B is a file in src/A that includes "B/...". Prints the edges.
#
#   tools/check-folder-graph.sh [SRC_FOLDER]
set -euo pipefail
src="${1:-$(dirname "${BASH_SOURCE[0]}")/../src}"
cd "$src"

edges="$(grep -rHE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/' --include='*.h' --include='*.cpp' . |
  sed -E 's|^\./([^/]+)/[^:]*:[[:space:]]*#[[:space:]]*include[[:space:]]*"([a-z_]+)/.*$|\1 \2|' |
  awk '$1 != $2' | sort -u)"

printf '%s\n' "$edges"
if ! printf '%s\n' "$edges" | tsort >/dev/null; then
  echo "check-folder-graph: the folders above include one another in a cycle" >&2
  exit 1
fi
