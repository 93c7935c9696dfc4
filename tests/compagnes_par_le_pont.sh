#!/bin/sh
# Une fenetre compagne ne voit du simulateur que le pont (pont.h), et rien d'une
# autre compagne : un controleur_* n'inclut ni interface2.h, ni le controleur ni
# les widgets d'une autre fenetre ; les siens et la fenetre principale (interface.h)
# lui sont permis.
cd "$(dirname "$0")/.." || exit 2
faute=0
for f in simulateur/controleur_*.h simulateur/controleur_*.cpp; do
    propre=$(basename "${f%.*}")
    fenetre=interface_${propre#controleur_}
    if grep -n '#include "simulateur/\(interface2\|controleur_[a-z_0-9]*\|interface_[a-z_0-9]*\)\.h"' "$f" |
        grep -v "\"simulateur/\($propre\|$fenetre\)\.h\""; then
        echo "$f : une compagne passe par le pont, pas par le simulateur ni une autre compagne" >&2
        faute=1
    fi
done
exit $faute
