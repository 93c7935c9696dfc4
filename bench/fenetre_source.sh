#!/usr/bin/env bash
# Chiffres de la fenetre du source, sous Xvfb, sur un source de plus de 2 000 lignes
# (la boucle de cent_millions.asm, puis du code, des commentaires et des donnees
# qu'elle n'atteint pas) : de F7 et de Ctrl+R au dessin, debit en max fenetre du
# source montree puis cachee.
# Utilisation : bench/fenetre_source.sh [DOSSIER_DE_CONSTRUCTION] (build/release)
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
construction=${1:-$racine/build/release}
cmake --build "$construction" -j2 --target bench_source >/dev/null
travail=$(mktemp -d)
trap 'rm -rf "$travail"' EXIT
source="$travail/long.asm"
cat "$racine/bench/cent_millions.asm" >"$source"
for i in $(seq 0 495); do
  printf 'etiq%d:  PUSH  donnee%d   ; ligne de remplissage %d\n        PUSHI %d\n' \
    "$i" $((i % 50)) "$i" $((i % 256))
  printf '        ADD\n        POP   donnee%d\n' $((i % 50))
done >>"$source"
for k in $(seq 0 49); do
  printf 'donnee%d: .octet %d\n' "$k" "$k"
done >>"$source"
echo "source : $(wc -l <"$source") lignes"
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
  "$construction/bench/bench_source" "$source" 300 2>&1 | grep -v "^depart"
