#!/usr/bin/env bash
# Temps et memoire de karvela-asm sur des sources hostiles d'au plus 16 Mio : les
# trois cas signales (8,4 millions de valeurs .octet, 8,4 millions de lignes « ? »,
# 200 000 etiquettes et autant de noms non definis) et des pires cas choisis
# (le plus d'enonces, le plus d'etiquettes et un nom a la casse pres, 750 000
# etiquettes qui ne different que par la casse, le plus de constantes avec listing,
# une expression de millions de noms inconnus, une chaine geante, et pour la
# verification de la pile la plus grande image permise, des PUSHI et des BNEZ qui
# ramenent tous en $0000 : toutes les profondeurs partout). Pour chacun :
# secondes ecoulees et de processeur (la machine peut etre partagee), pic de
# memoire residente et la borne 20 x taille + 50 Mo.
# Utilisation : bench/assembleur_hostile.sh [DOSSIER_DE_CONSTRUCTION] (build/release)
#   KARVELA_ASM=chemin mesure un autre binaire ; DELAI=s borne chaque cas (300).
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
construction=${1:-$racine/build/release}
if [ -z "${KARVELA_ASM:-}" ]; then
  cmake --build "$construction" -j2 --target karvela-asm >/dev/null
  KARVELA_ASM=$construction/commandes/karvela-asm
fi
delai=${DELAI:-300}
travail=$(mktemp -d)
trap 'rm -rf "$travail"' EXIT
mio=$((16 << 20))

# Noms de quatre caracteres tous differents, a partir d'un numero.
noms='sub nom { my $n = shift; my $s = "";
  for (1..3) { $s = substr("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456789", $n % 63, 1) . $s; $n = int($n / 63) }
  return substr("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_", $n % 53, 1) . $s }'

perl -e "print '.octet 1', ',1' x (($mio - 8) / 2)" >"$travail/octets.asm"
perl -e "print \"?\n\" x ($mio / 2)" >"$travail/interrogations.asm"
perl -e 'printf "e%06d: PUSH n%06d\n", $_, $_ for 1..200000' >"$travail/non_definis.asm"
perl -e "print \"OR\n\" x ($mio / 3)" >"$travail/enonces.asm"
perl -e "$noms; print \"BT AAAB\n\"; print nom(\$_), \":\n\" for 1..int(($mio - 8) / 6)" \
  >"$travail/etiquettes.asm"
perl -e 'print "BT aaaaaaaaaaaaaaaaaaaa\n" x 1100;
  for $i (1..750000) { print map({ ($i >> $_) & 1 ? "A" : "a" } 0..19), ":\n" }' >"$travail/casse.asm"
perl -e "$noms; print \"NOP\n\"; print nom(\$_), \"=1\n\" for 1..int(($mio - 4) / 7)" \
  >"$travail/constantes.asm"
perl -e "print 'AA: PUSH aa', '+aa' x (($mio - 12) / 3)" >"$travail/expression.asm"
perl -e "print '.octet \"', 'a' x ($mio - 9), '\"'" >"$travail/chaine.asm"
perl -e 'my $c = " ; " . ("x" x 1260) . "\n"; print "PUSHI 1$c BNEZ 0$c" x 6552' >"$travail/pile.asm"

printf '%-16s %10s %9s %9s %8s %9s  %s\n' cas octets secondes "cpu s" "pic Mo" "borne Mo" sortie
for cas in octets interrogations non_definis enonces etiquettes casse constantes expression chaine pile; do
  source=$travail/$cas.asm
  taille=$(stat -c %s "$source")
  options=()
  [ "$cas" = constantes ] && options=(-l "$travail/$cas.txt")
  set +e
  /usr/bin/time -f '%e %U %S %M' -o "$travail/mesure" timeout "$delai" \
    "$KARVELA_ASM" "${options[@]}" -o "$travail/$cas.bin" "$source" 2>"$travail/erreurs" >/dev/null
  code=$?
  set -e
  read -r secondes utilisateur systeme kio < <(tail -n 1 "$travail/mesure")
  [ "$code" = 124 ] && secondes=">$delai"
  printf '%-16s %10d %9s %9.2f %8d %9d  %s (%d lignes de diagnostic)\n' "$cas" "$taille" \
    "$secondes" "$(awk "BEGIN { print $utilisateur + $systeme }")" $((kio * 1024 / 1000000)) \
    $(((20 * taille + 50000000) / 1000000)) "$code" "$(wc -l <"$travail/erreurs")"
done
