#!/usr/bin/env bash
# Le paquet Debian tel qu'un enseignant l'installe : scripts/paquet le construit
# (lintian et desktop-file-validate compris), son nom porte la version, il contient
# les commandes, l'entree de menu, l'icone du theme
# hicolor, les pages de manuel et tous les exemples, et ses
# dependances sont calculees ; le karvela-asm qu'il installe assemble chaque exemple
# aux memes octets que celui de la construction, et son karvela-note corrige les
# exercices d'exemple.
# Usage : paquet.sh SOURCES VERSION KARVELA_ASM_CONSTRUIT COMMANDE...
set -euo pipefail
shopt -s nullglob
sources=$1 version=$2 asm_construit=$3
shift 3
echec() {
  echo "paquet: $*" >&2
  exit 1
}

paquet=$("$sources/scripts/paquet" | tail -n1)
[ "$(basename "$paquet")" = "karvela_${version}_$(dpkg --print-architecture).deb" ] ||
  echec "nom inattendu : $paquet"
dpkg-deb -f "$paquet" Depends | grep -q 'libfltk1\.3' || echec "dependances non calculees"

attendus=(usr/share/applications/karvela.desktop usr/share/doc/karvela/copyright
  usr/share/icons/hicolor/scalable/apps/karvela.svg)
for taille in 48 64 128 256; do
  attendus+=("usr/share/icons/hicolor/${taille}x$taille/apps/karvela.png")
done
for c in "$@"; do
  attendus+=("usr/bin/$c" "usr/share/man/man1/$c.1.gz")
done
for f in "$sources"/examples/*.bin "$sources"/examples/*.asm "$sources"/examples/*.txt; do
  attendus+=("usr/share/doc/karvela/examples/$(basename "$f")")
done
for f in "$sources"/examples/exercices/*; do
  attendus+=("usr/share/doc/karvela/examples/exercices/$(basename "$f")")
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
exemples=("$sources"/examples/*.asm)
[ ${#exemples[@]} -gt 0 ] || echec "aucun exemple .asm dans $sources/examples"
installe="$travail/racine/usr/bin/karvela-asm"
"$installe" --version | grep -qF "$version" || echec "karvela-asm --version sans $version"
# Le karvela-note installe corrige les exercices installes : la solution juste a
# tous ses points (sortie 0), la fausse non (sortie 1).
exos="$travail/racine/usr/share/doc/karvela/examples/exercices"
"$travail/racine/usr/bin/karvela-note" "$exos/somme_table.toml" "$exos/somme_table.asm" >/dev/null ||
  echec "karvela-note installe : somme_table.asm n'a pas tous ses points"
if "$travail/racine/usr/bin/karvela-note" "$exos/somme_table.toml" "$exos/somme_table_faux.asm" \
  >/dev/null; then
  echec "karvela-note installe : somme_table_faux.asm a tous ses points"
fi
for source in "${exemples[@]}"; do
  nom=$(basename "$source" .asm)
  "$installe" -o "$travail/$nom.installe.bin" "$source"
  "$asm_construit" -o "$travail/$nom.construit.bin" "$source"
  cmp "$travail/$nom.installe.bin" "$travail/$nom.construit.bin" ||
    echec "$nom.asm : le karvela-asm installe ne donne pas les octets de la construction"
done
