// karvela-run : la machine sans la fenetre. Charge un .bin par le chargeur du
// simulateur (memes messages) ou assemble un .asm (memes diagnostics que
// karvela-asm), puis execute comme STEP et rend compte en francais ou en JSON.
// Sortie 0 execute jusqu'a un arret, 1 programme illisible ou fautif, 2 mauvais usage.
#include <iostream>
#include <string>
#include <vector>

#include "assembleur/assembleur.h"
#include "assembleur/source.h"
#include "lancement.h"
#include "simulateur/version.h"

namespace {

constexpr int sortie_executee = 0;
constexpr int sortie_programme_fautif = 1;
constexpr int sortie_usage = 2;

bool est_source(std::string const& chemin) {
    std::string const fin = chemin.size() >= 4 ? chemin.substr(chemin.size() - 4) : "";
    return fin == ".asm" || fin == ".ASM";
}

// Le programme en memoire comme apres "Ouvrir fichier binaire" ; faux apres un message.
bool charge(std::string const& chemin, mem_64k& memoire) {
    if (!est_source(chemin)) {
        std::string c = chemin;
        if (memoire.load_binaire(c.data()) == 1) {
            return true;
        }
        std::cerr << "karvela-run: « " << chemin << " » n'a pas pu être chargé\n";
        return false;
    }
    source_lue const source = lit_source(chemin);
    if (!source.lue) {
        std::cerr << "karvela-run: " << source.erreur << "\n";
        return false;
    }
    programme_assemble const p = assemble(source.texte);
    for (diagnostic const& d : p.diagnostics) {
        std::cerr << texte_diagnostic(chemin, d) << "\n";
    }
    return p.reussi() && memoire.load_image(p.base, p.image) == 1;
}

} // namespace

int main(int argc, char** argv) {
    options_run o;
    lecture_options const l = lit_options_run(std::vector<std::string>(argv + 1, argv + argc), o);
    switch (l.demande) {
    case demande_run::aide:
        std::cout << aide_run;
        return sortie_executee;
    case demande_run::version:
        std::cout << "karvela-run " KARVELA_VERSION "\n";
        return sortie_executee;
    case demande_run::usage_fautif:
        std::cerr << "karvela-run: " << l.message << "\nEssayez « karvela-run --help ».\n";
        return sortie_usage;
    case demande_run::executer:
        break;
    }

    machine_seule seule;
    if (!charge(o.programme, seule.memoire())) {
        return sortie_programme_fautif;
    }
    seule.apres_chargement();
    machine& m = seule.m();
    pose_entrees(m, o);
    bilan_execution const b = lance(m, o, o.trace ? &std::cout : nullptr);
    etat_final const e = releve(m, b, o);
    std::cout << (o.json ? rapport_json(e) : rapport_texte(e));
    return sortie_executee;
}
