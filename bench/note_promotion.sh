#!/usr/bin/env bash
# Chiffres de karvela-note sur une classe telle que la plateforme la telecharge :
#  1. 200 etudiants dans un .zip (un dossier chacun, nomme comme la plateforme le
#     fait ; des .s, des sous-dossiers, des .zip rendus, deux fichiers, des pdf),
#     8 cas, avec --feuille, --retours et --bilan : temps ecoule, meilleur de trois ;
#  2. 8 grosses copies (16 Mio de source chacune, 1,2 million de constantes) : pic de
#     memoire (/usr/bin/time -v), qui doit tenir la plus grosse copie et non la
#     somme. Un second karvela-note (AVANT, une construction plus ancienne) est
#     mesure sur la meme classe, donnee fichier par fichier, pour comparer ;
#  3. une copie de 10^6 constantes a qui manque l'etiquette de 11 cas : temps.
# Utilisation : bench/note_promotion.sh [DOSSIER_DE_CONSTRUCTION [AVANT]]
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
construction=${1:-$racine/build/release}
avant=${2:-}
cmake --build "$construction" -j2 --target karvela-note >/dev/null
note="$construction/commandes/karvela-note"
travail=$(mktemp -d)
trap 'rm -rf "$travail"' EXIT

{
  echo 'titre = "Bits du port E, puis BT *"'
  echo 'pas_max = 100000'
  for e in 0 1 2 3 0x55 0x80 0xF0 0xFF; do
    echo "[[cas]]"
    echo "nom = \"E=$e\""
    echo "entrees = { E = $e }"
    echo "attendu = { B = $(python3 -c "print(bin($e).count('1'))") }"
  done
} >"$travail/exo.toml"

solution() { # $1 : variante (nombre de NOP en tete), $2 : fin
  for _ in $(seq 1 "$1"); do echo "         NOP"; done
  cat <<'ASM'
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
  echo "         $2"
}

export_classe="$travail/export"
mkdir -p "$export_classe"
feuille="$travail/feuille.csv"
printf '\xef\xbb\xbfIdentifier,"Full name","Email address",Status,Grade,"Maximum Grade","Grade can be changed","Last modified (submission)","Last modified (grade)","Feedback comments"\r\n' >"$feuille"
for i in $(seq 1 200); do
  id=$((100000 + i))
  d="$export_classe/Etudiant $i Nom_${id}_assignsubmission_file_"
  mkdir -p "$d"
  fin="BT *"
  [ $((i % 3)) -eq 0 ] && fin="BT 0" # un tiers ne finit pas : chaque cas va a pas_max
  case $((i % 5)) in
    0) solution $((i % 4)) "$fin" >"$d/bits.asm" ;;
    1) mkdir -p "$d/td/src" && solution $((i % 4)) "$fin" >"$d/td/src/bits.s" ;;
    2) solution 1 "BT 0" >"$d/v1.asm" && solution $((i % 4)) "$fin" >"$d/v2.asm" ;;
    3) mkdir -p "$travail/z$i" && solution $((i % 4)) "$fin" >"$travail/z$i/bits.asm" &&
      (cd "$travail/z$i" && zip -q "$d/rendu.zip" bits.asm) ;;
    4) solution $((i % 4)) "$fin" >"$d/bits.asm" && printf '%%PDF-1.4\n\0' >"$d/rapport.pdf" ;;
  esac
  printf '"Participant %s","Etudiant %s",e%s@exemple.fr,"Submitted for grading",,20.00,Yes,-,-,\r\n' \
    "$id" "$i" "$i" >>"$feuille"
done
(cd "$export_classe" && zip -qr "$travail/travaux.zip" .)

meilleur() { # le meilleur temps ecoule de trois essais de la commande donnee
  local m=""
  for _ in 1 2 3; do
    cp "$travail/feuille.csv" "$travail/notes.csv"
    local t
    /usr/bin/time -f "%e" -o "$travail/temps" "$@" >/dev/null 2>&1 || true
    t=$(tail -n1 "$travail/temps")
    if [ -z "$m" ] || [ "$(echo "$t < $m" | bc)" = 1 ]; then m=$t; fi
  done
  echo "$m"
}
echo "200 étudiants x 8 cas (un tiers sans fin : 100 000 pas par cas), $(nproc) coeurs :"
echo "  .zip, avec feuille, retours et bilan : $(meilleur "$note" --sur 20 --feuille "$travail/notes.csv" \
  --retours "$travail/retours.zip" --bilan "$travail/bilan.html" "$travail/exo.toml" "$travail/travaux.zip") s"
echo "  dossier, texte seul : $(meilleur "$note" "$travail/exo.toml" "$export_classe") s"
"$note" "$travail/exo.toml" "$travail/travaux.zip" | grep -c ' : 8/8$' | sed 's/^/  étudiants justes : /' || true

# Grosses copies : 10^6 constantes chacune (16 Mio de source), puis le programme.
mkdir -p "$travail/grosses"
python3 - "$travail/grosses" <<'PY'
import sys
dossier = sys.argv[1]
constantes = "".join("c%07d = %d\n" % (i, i % 256) for i in range(1300000))
constantes = constantes[: 16 * 2**20 - 4096]
constantes = constantes[: constantes.rfind("\n") + 1]
import os
for i in range(8):
    d = "%s/Gros %d_%d_assignsubmission_file_" % (dossier, i, 900 + i)
    os.mkdir(d)
    with open(d + "/gros.asm", "w") as f:
        f.write(constantes)
        f.write("         PUSHI %d\n         POP PORTB\n         BT *\n" % i)
PY
pic() { # pic de memoire (Mio) de la commande donnee
  /usr/bin/time -v -o "$travail/temps" "$@" >/dev/null 2>&1 || true
  awk '/Maximum resident/ {printf "%d", $NF / 1024}' "$travail/temps"
}
echo "8 copies de 16 Mio chacune :"
echo "  pic de mémoire, la classe (dossier) : $(pic "$note" "$travail/exo.toml" "$travail/grosses") Mio"
echo "  pic de mémoire, les 8 fichiers donnés : $(pic "$note" "$travail/exo.toml" "$travail"/grosses/*/*.asm) Mio"
echo "  pic de mémoire, 1 fichier : $(pic "$note" "$travail/exo.toml" "$travail/grosses/Gros 0_900_assignsubmission_file_/gros.asm") Mio"
if [ -n "$avant" ]; then
  echo "  avant, les 8 fichiers donnés : $(pic "$avant" "$travail/exo.toml" "$travail"/grosses/*/*.asm) Mio"
  echo "  avant, 1 fichier : $(pic "$avant" "$travail/exo.toml" "$travail/grosses/Gros 0_900_assignsubmission_file_/gros.asm") Mio"
fi

# Une etiquette absente d'une copie de 10^6 noms, nommee par 11 cas.
{
  echo 'titre = "Table"'
  for i in $(seq 1 11); do
    echo "[[cas]]"
    echo "nom = \"cas $i\""
    echo "memoire = { table = $i }"
    echo "attendu = { table = $i }"
  done
} >"$travail/table.toml"
python3 -c "
import sys
sys.stdout.write(''.join('c%d = 1\n' % i for i in range(10**6)) + 'tabel: .octet 0\nBT *\n')
" >"$travail/constantes.asm"
echo "Une copie de 10^6 constantes sans l'étiquette de 11 cas : $(meilleur "$note" "$travail/table.toml" "$travail/constantes.asm") s"
"$note" "$travail/table.toml" "$travail/constantes.asm" | sed -n 2p | sed 's/^/  /' || true
if [ -n "$avant" ]; then
  echo "  avant : $(meilleur "$avant" "$travail/table.toml" "$travail/constantes.asm") s"
fi
