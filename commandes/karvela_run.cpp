// karvela-run : la machine sans la fenetre. Lit ses options, fait lire le
// programme (.bin comme le chargeur de la fenetre, .asm assemble avec les
// diagnostics de karvela-asm) et l'executer par le moteur, puis rend compte en
// francais ou en JSON. Rien sur la sortie d'erreur quand tout va bien.
// Sortie 0 execute jusqu'a un arret, 1 programme illisible ou fautif (ou sortie
// standard perdue), 2 mauvais usage (une --pose sur une etiquette que le programme
// n'a pas comprise).
#include <iostream>
#include <string>
#include <vector>

#include "ecriture.h"
#include "execution/moteur.h"
#include "lancement.h"
#include "simulateur/version.h"

namespace {

constexpr int sortie_executee = 0;
constexpr int sortie_programme_fautif = 1;
constexpr int sortie_usage = 2;
char const* const commande = "karvela-run";

} // namespace

int main(int argc, char** argv) {
    debut_commande();
    options_run o;
    lecture_options const l = lit_options_run(std::vector<std::string>(argv + 1, argv + argc), o);
    switch (l.demande) {
    case demande_run::aide:
        std::cout << aide_run;
        return fin_commande(commande, sortie_executee);
    case demande_run::version:
        std::cout << "karvela-run " KARVELA_VERSION "\n";
        return fin_commande(commande, sortie_executee);
    case demande_run::usage_fautif:
        std::cerr << "karvela-run: " << l.message << "\nEssayez « karvela-run --help ».\n";
        return sortie_usage;
    case demande_run::executer:
        break;
    }

    programme_charge const p = lit_programme(o.programme);
    for (diagnostic const& d : p.assemble.diagnostics) {
        std::cerr << texte_diagnostic(o.programme, d) << "\n";
    }
    for (std::string const& message : {p.erreur, p.avertissement}) {
        if (!message.empty()) {
            std::cerr << "karvela-run: " << message << "\n";
        }
    }
    if (!p.charge) {
        return sortie_programme_fautif;
    }
    // Avec --json, la sortie standard ne porte que l'objet : la trace va a cote.
    std::ostream& trace = o.json ? std::cerr : std::cout;
    observateur ecrit_trace = nullptr;
    if (o.trace) {
        ecrit_trace = [&trace](unsigned short adresse, char const* instruction,
                               mp_interpreteur const& cpu) {
            trace << ligne_trace(adresse, instruction, cpu) << "\n";
        };
    }
    demande_execution d = demande_de(o);
    std::string const pose_fautive = ajoute_poses(o, p, d);
    if (!pose_fautive.empty()) {
        std::cerr << "karvela-run: " << pose_fautive << "\n";
        return sortie_usage;
    }
    std::vector<question_pourquoi> questions(o.pourquoi.size());
    for (std::size_t k = 0; k < o.pourquoi.size(); ++k) {
        std::string const fautive = question_de(o.pourquoi[k], p, questions[k]);
        if (!fautive.empty()) {
            std::cerr << "karvela-run: " << fautive << "\n";
            return sortie_usage;
        }
    }
    machine_seule seule;
    // L'historique ne sert qu'aux explications : sans elles, il reste eteint.
    seule.m().garde_historique(!questions.empty());
    arret_decrit const a = lance_programme(seule, p, d, ecrit_trace);
    etat_final const e = releve(seule.m(), a, o.zones);
    std::vector<explication> reponses;
    std::vector<ecriture_exterieure> const ecritures = ecritures_de(d);
    for (question_pourquoi const& q : questions) {
        reponses.push_back(pourquoi(seule.m(), p.source ? &p.assemble : nullptr, ecritures, q,
                                    {a.bilan.raison, a.bilan.adresse, a.bilan.pile}));
    }
    if (o.json) {
        std::cout << (reponses.empty() ? rapport_json(e) : rapport_json_pourquoi(e, reponses));
    } else {
        std::cout << rapport_texte(e);
        for (explication const& r : reponses) {
            std::cout << texte_explication(r);
        }
    }
    return fin_commande(commande, sortie_executee);
}
