#!/usr/bin/env bash
# Chiffres du mode marche de la fenetre, sous Xvfb : cadence des vitesses reglees, debit en max (historique
# garde) sur pres de 10^8 instructions, redessins par seconde, delai du STOP, puis
# le temps processeur du vrai programme laisse au repos dix secondes.
# Utilisation : bench/fenetre_marche.sh [DOSSIER_DE_CONSTRUCTION] (build/release)
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
construction=${1:-$racine/build/release}
cmake --build "$construction" -j"$(nproc)" --target bench_fenetre karvela karvela-asm >/dev/null
travail=$(mktemp -d)
trap 'rm -rf "$travail"' EXIT
"$construction/commandes/karvela-asm" -o "$travail/boucle.bin" "$racine/bench/cent_millions.asm"

xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -c '
  "$1/bench/bench_fenetre" "$2/boucle.bin" 20 2>&1 | grep -v "^lecture\|^adresse\|^depart\|parti"
  "$1/karvela" "$2/boucle.bin" >/dev/null 2>&1 &
  pid=$!
  sleep 2
  avant=$(awk "{print \$14 + \$15}" /proc/$pid/stat)
  sleep 10
  apres=$(awk "{print \$14 + \$15}" /proc/$pid/stat)
  kill $pid
  echo "au repos : $((apres - avant)) tops processeur en 10 s ($(getconf CLK_TCK) par seconde)"
' _ "$construction" "$travail"
