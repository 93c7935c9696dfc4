#!/usr/bin/env bash
# Le paquet Debian tel qu'un enseignant l'installe : scripts/paquet le construit
# (lintian et desktop-file-validate compris), son nom porte la version, il contient
# les commandes, l'entree de menu, les pages de manuel et tous les exemples, et ses
# dependances sont calculees.
# Usage : paquet.sh SOURCES VERSION COMMANDE...
set -euo pipefail
shopt -s nullglob
sources=$1 version=$2
shift 2
echec() {
  echo "paquet: $*" >&2
  exit 1
}

paquet=$("$sources/scripts/paquet" | tail -n1)
[ "$(basename "$paquet")" = "karvela_${version}_$(dpkg --print-architecture).deb" ] ||
  echec "nom inattendu : $paquet"
dpkg-deb -f "$paquet" Depends | grep -q 'libfltk1\.3' || echec "dependances non calculees"

attendus=(usr/share/applications/karvela.desktop usr/share/doc/karvela/copyright
  usr/share/man/man1/karvela.1.gz usr/share/man/man1/karvela-asm.1.gz
  usr/share/man/man1/karvela-run.1.gz)
for c in "$@"; do
  attendus+=("usr/bin/$c")
done
for f in "$sources"/examples/*.bin "$sources"/examples/*.asm "$sources"/examples/*.txt; do
  attendus+=("usr/share/doc/karvela/examples/$(basename "$f")")
done
contenu=$(dpkg-deb -c "$paquet" | awk '{print $6}')
for a in "${attendus[@]}"; do
  grep -qxF "./$a" <<<"$contenu" || echec "absent du paquet : /$a"
done

travail=$(mktemp -d)
trap 'rm -rf "$travail"' EXIT
dpkg-deb -x "$paquet" "$travail/racine"
zcat "$travail/racine/usr/share/man/man1/karvela.1.gz" | grep -q "^\.TH .*karvela $version" ||
  echec "page de manuel sans la version $version"
