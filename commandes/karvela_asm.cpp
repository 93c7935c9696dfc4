// karvela-asm : assemble un source de la machine a pile en un fichier .bin (ou
// .s19) que le simulateur charge, et en un listing a la demande. Silencieux en cas
// de succes ; diagnostics "fichier:ligne:colonne: erreur: ..." sur la sortie
// d'erreur. Sortie 0 assemble, 1 source fautif ou illisible (aucun fichier ecrit),
// 2 mauvais usage.
#include <iostream>
#include <string>

#include "assembleur/assembleur.h"
#include "assembleur/source.h"
#include "ecriture.h"
#include "simulateur/version.h"

namespace {

constexpr int sortie_reussie = 0;
constexpr int sortie_source_fautif = 1;
constexpr int sortie_usage = 2;

char const* const aide =
    "utilisation : karvela-asm [-o SORTIE] [-f bin|s19] [-l LISTING] SOURCE\n"
    "Assemble SOURCE, programme de la machine à pile, en un fichier que le simulateur "
    "charge.\n"
    "\n"
    "  -o SORTIE   fichier produit (par défaut SOURCE avec l'extension .bin ou .s19)\n"
    "  -f FORMAT   bin : image pour « Ouvrir fichier binaire » (par défaut)\n"
    "              s19 : S-records\n"
    "  -l LISTING  écrit aussi le listing : adresse, octets, instruction, pile, ligne source\n"
    "  --help      affiche cette aide\n"
    "  --version   affiche la version\n"
    "  --          la suite est SOURCE, même commençant par -\n"
    "\n"
    "Les erreurs s'affichent sous la forme fichier:ligne:colonne: erreur: message.\n"
    "La pile est vérifiée sur tous les chemins depuis $0000 ; ses avertissements\n"
    "(attention:) n'empêchent rien, et « @pile-ok » dans un commentaire les tait.\n"
    "Sortie : 0 assemblé, 1 erreurs dans le source (aucun fichier écrit), 2 mauvais usage.\n";

struct options {
    std::string source, sortie, listing;
    bool s19 = false;
};

int usage(std::string const& message) {
    std::cerr << "karvela-asm: " << message << "\nEssayez « karvela-asm --help ».\n";
    return sortie_usage;
}

// SOURCE avec son extension remplacee (ou ajoutee s'il n'en a pas).
std::string sortie_par_defaut(std::string const& source, bool s19) {
    std::size_t const barre = source.rfind('/');
    std::size_t const nom = barre == std::string::npos ? 0 : barre + 1;
    std::size_t const point = source.rfind('.');
    std::string const radical =
        point != std::string::npos && point > nom ? source.substr(0, point) : source;
    return radical + (s19 ? ".s19" : ".bin");
}

// -1 si les options sont lues, sinon le code de sortie (aide, version, usage).
int lit_options(int argc, char** argv, options& o) {
    bool options_finies = false;
    for (int i = 1; i < argc; ++i) {
        std::string const a = argv[i];
        if (options_finies || a.size() < 2 || a[0] != '-') {
            if (!o.source.empty()) {
                return usage("un seul SOURCE attendu, « " + a + " » en plus de « " + o.source +
                             " »");
            }
            o.source = a;
        } else if (a == "--") {
            options_finies = true;
        } else if (a == "--help" || a == "-h") {
            std::cout << aide;
            return fin_commande("karvela-asm", sortie_reussie);
        } else if (a == "--version") {
            std::cout << "karvela-asm " KARVELA_VERSION "\n";
            return fin_commande("karvela-asm", sortie_reussie);
        } else if (a == "-o" || a == "-f" || a == "-l") {
            if (i + 1 >= argc) {
                return usage("l'option « " + a + " » attend une valeur");
            }
            std::string const v = argv[++i];
            if (v.empty() && a != "-f") {
                return usage("l'option « " + a + " » attend un nom de fichier, pas un mot vide");
            }
            if (a == "-o") {
                o.sortie = v;
            } else if (a == "-l") {
                o.listing = v;
            } else if (v == "bin" || v == "s19") {
                o.s19 = v == "s19";
            } else {
                return usage("format « " + v + " » inconnu (attendu bin ou s19)");
            }
        } else {
            return usage("option inconnue « " + a + " »");
        }
    }
    if (o.source.empty()) {
        return usage("SOURCE manquant");
    }
    if (o.sortie.empty()) {
        o.sortie = sortie_par_defaut(o.source, o.s19);
    }
    if (meme_fichier(o.sortie, o.source) ||
        (!o.listing.empty() && meme_fichier(o.listing, o.source))) {
        return usage("la sortie remplacerait le source « " + o.source + " »");
    }
    if (!o.listing.empty() && meme_fichier(o.listing, o.sortie)) {
        return usage("le listing et la sortie sont le même fichier « " + o.sortie + " »");
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    debut_commande();
    options o;
    int const code = lit_options(argc, argv, o);
    if (code >= 0) {
        return code;
    }
    source_lue const source = lit_source(o.source);
    if (!source.lue) {
        std::cerr << "karvela-asm: " << source.erreur << "\n";
        return sortie_source_fautif;
    }
    programme_assemble const p = assemble(source.texte);
    for (diagnostic const& d : p.diagnostics) {
        std::cerr << texte_diagnostic(o.source, d) << "\n";
    }
    if (!p.reussi()) {
        return sortie_source_fautif;
    }
    std::vector<unsigned char> const bin = fichier_bin(p);
    std::vector<sortie_fichier> sorties = {
        {o.sortie, o.s19 ? fichier_s19(p) : std::string(bin.begin(), bin.end())}};
    if (!o.listing.empty()) {
        sorties.push_back({o.listing, fichier_listing(p, source.texte)});
    }
    std::string const erreur = ecrit_fichiers(sorties);
    if (!erreur.empty()) {
        std::cerr << "karvela-asm: " << erreur << "\n";
        return sortie_source_fautif;
    }
    return fin_commande("karvela-asm", sortie_reussie);
}
