#!/usr/bin/env bash
# Instructions par pas de machine::pas(), comptees par callgrind, historique eteint
# puis allume : deux comptes (N1 et N2 pas) dont la difference ote le lancement.
# Utilisation : bench/instructions_par_pas.sh [DOSSIER_DE_CONSTRUCTION] (build/release)
#   PAS_COMPTE=chemin mesure un autre binaire.
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
construction=${1:-$racine/build/release}
if [ -z "${PAS_COMPTE:-}" ]; then
  cmake --build "$construction" -j2 --target pas_compte >/dev/null
  PAS_COMPTE=$construction/bench/pas_compte
fi
travail=$(mktemp -d)
trap 'rm -rf "$travail"' EXIT
n1=200000
n2=1200000
compte() { # N MODE
  valgrind --tool=callgrind --callgrind-out-file="$travail/sortie" "$PAS_COMPTE" "$1" $2 \
    >/dev/null 2>"$travail/journal"
  awk '/^summary:/ { print $2 }' "$travail/sortie"
}
for mode in sans historique; do
  a=$(compte $n1 "$mode")
  b=$(compte $n2 "$mode")
  awk -v a="$a" -v b="$b" -v m="$mode" -v n=$((n2 - n1)) \
    'BEGIN { printf "%-11s %.2f instructions par pas\n", m, (b - a) / n }'
done
