#!/usr/bin/env bash
# Chiffre de karvela-note sur une classe : 30 copies x 8 cas, dont un tiers des
# copies tourne sans fin (chacun de leurs cas va donc jusqu'a pas_max = 1 000 000,
# 80 millions d'instructions en tout). Temps ecoule et temps processeur, sur tous
# les coeurs puis sur un seul (taskset), meilleur de trois essais.
# Utilisation : bench/note_classe.sh [DOSSIER_DE_CONSTRUCTION] (build/release)
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
construction=${1:-$racine/build/release}
cmake --build "$construction" -j2 --target karvela-note >/dev/null
note="$construction/commandes/karvela-note"
travail=$(mktemp -d)
trap 'rm -rf "$travail"' EXIT

{
  echo 'titre = "Bits du port E, puis BT *"'
  echo 'pas_max = 1000000'
  for e in 0 1 2 3 0x55 0x80 0xF0 0xFF; do
    echo "[[cas]]"
    echo "nom = \"E=$e\""
    echo "entrees = { E = $e }"
    echo "attendu = { B = $(python3 -c "print(bin($e).count('1'))") }"
  done
} >"$travail/exo.toml"

for i in $(seq 1 30); do
  copie="$travail/copie$i.asm"
  # Des NOP en tete : trente copies qui ne sont pas le meme texte.
  for _ in $(seq 1 $((i % 5))); do echo "         NOP"; done >"$copie"
  cat >>"$copie" <<'ASM'
         PUSHI 0
         PUSH PORTE
boucle:  BEQZ fini
         BGEZ suivant
         SWAP
         PUSHI 1
         ADD
         SWAP
suivant: LSL
         BT boucle
fini:    DROP
         POP PORTB
ASM
  # Une copie sur trois oublie de finir : elle recommence jusqu'a pas_max.
  if [ $((i % 3)) -eq 0 ]; then echo "         BT 0" >>"$copie"; else echo "         BT *" >>"$copie"; fi
done

mesure() {
  local meilleur=""
  for _ in 1 2 3; do
    local t
    t=$({ /usr/bin/time -f "%e s écoulées, %U s utilisateur" "$@" "$note" "$travail/exo.toml" \
      "$travail"/copie*.asm >/dev/null; } 2>&1 | tail -n1)
    if [ -z "$meilleur" ] || [ "${t%% *}" \< "${meilleur%% *}" ]; then meilleur=$t; fi
  done
  echo "$meilleur"
}
echo "30 copies x 8 cas, 10 copies sans fin (80 x 10^6 instructions) :"
echo "  $(nproc) coeurs : $(mesure)"
echo "  1 coeur  : $(mesure taskset -c 0)"
"$note" "$travail/exo.toml" "$travail"/copie*.asm | grep -c ' : 8/8$' | sed 's/^/  copies justes : /'
