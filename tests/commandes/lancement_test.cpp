// karvela-run sans processus : options lues ou refusees, puis des programmes
// assembles executes comme par la commande, avec leur arret et leur rapport.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "assembleur/assembleur.h"
#include "commandes/lancement.h"

namespace {

std::vector<std::string> mots(std::string const& ligne) {
    std::istringstream flot(ligne);
    std::vector<std::string> v;
    for (std::string m; flot >> m;) {
        v.push_back(m);
    }
    return v;
}

TEST(OptionsRun, UsagesFautifs) {
    const struct {
        const char* arguments;
        const char* message;
    } cas[] = {
        {"", "PROGRAMME manquant"},
        {"a.bin b.bin", "un seul PROGRAMME attendu, « b.bin » en plus de « a.bin »"},
        {"-x a.bin", "option inconnue « -x »"},
        {"--pas=3x a.bin", "nombre d'instructions « 3x » invalide (entier positif ou nul)"},
        {"a.bin -n", "l'option « -n » attend une valeur"},
        {"-n -1 a.bin", "nombre d'instructions « -1 » invalide (entier positif ou nul)"},
        {"-n dix a.bin", "nombre d'instructions « dix » invalide (entier positif ou nul)"},
        {"--jusqu-a $10000 a.bin", "adresse « $10000 » invalide (0..65535, $ffff, 0xffff...)"},
        {"--entree F=1 a.bin",
         "entrée « F=1 » invalide (attendu P=V, P parmi A, B, C, D, E et V de -128 à 255)"},
        {"--entree E=256 a.bin",
         "entrée « E=256 » invalide (attendu P=V, P parmi A, B, C, D, E et V de -128 à 255)"},
        {"--entree E5 a.bin",
         "entrée « E5 » invalide (attendu P=V, P parmi A, B, C, D, E et V de -128 à 255)"},
        {"--memoire 10 a.bin", "zone « 10 » invalide (attendu ADR:N, comme $1000:11)"},
        {"--memoire $ffff:2 a.bin", "zone « $ffff:2 » au-delà de $ffff"},
        {"--memoire", "l'option « --memoire » attend une valeur"},
        {"--json=non a.bin", "l'option « --json » ne prend pas de valeur"},
        {"--trace=0 a.bin", "l'option « --trace » ne prend pas de valeur"},
        {"-n 4294967296 a.bin",
         "nombre d'instructions « 4294967296 » trop grand (au plus 4294967295)"},
    };
    for (auto const& c : cas) {
        options_run o;
        lecture_options const l = lit_options_run(mots(c.arguments), o);
        EXPECT_EQ(l.demande, demande_run::usage_fautif) << c.arguments;
        EXPECT_EQ(l.message, c.message) << c.arguments;
    }
}

TEST(OptionsRun, ToutesLesOptionsLues) {
    options_run o;
    lecture_options const l =
        lit_options_run(mots("--pas 0x20 --jusqu-a $10 --entree E=5 --entree e=%111 --entree A=-1 "
                             "--memoire=$1000:11 --memoire 0:0 --trace --json p.asm"),
                        o);
    // Les nombres lus comme un champ de la memoire : blancs autour, +5, 'A'.
    options_run b;
    std::vector<std::string> const blancs = {"-n",       " 16 ",  "--entree", "B=+5",
                                             "--entree", "C='A'", "p.asm"};
    ASSERT_EQ(lit_options_run(blancs, b).demande, demande_run::executer);
    EXPECT_EQ(b.pas, 16);
    EXPECT_EQ(b.entrees[1], 5);
    EXPECT_EQ(b.entrees[2], 65);
    EXPECT_EQ(lit_options_run({"-n", " ", "p.asm"}, b).demande, demande_run::usage_fautif);
    ASSERT_EQ(l.demande, demande_run::executer) << l.message;
    EXPECT_EQ(o.programme, "p.asm");
    EXPECT_EQ(o.pas, 32);
    EXPECT_TRUE(o.jusqu_a && o.adresse_arret == 0x10);
    EXPECT_EQ(o.entrees[4], 7) << "la derniere pour un port l'emporte";
    EXPECT_EQ(o.entrees[0], 0xFF);
    EXPECT_EQ(o.entrees[1], -1);
    ASSERT_EQ(o.zones.size(), 2u);
    EXPECT_TRUE(o.zones[0].adresse == 0x1000 && o.zones[0].taille == 11);
    EXPECT_TRUE(o.trace && o.json);
    options_run d;
    EXPECT_EQ(lit_options_run({"p.bin"}, d).demande, demande_run::executer);
    EXPECT_EQ(d.pas, 1000000);
    EXPECT_EQ(lit_options_run({"p.bin", "--help"}, d).demande, demande_run::aide);
    EXPECT_EQ(lit_options_run({"--version"}, d).demande, demande_run::version);
    EXPECT_EQ(lit_options_run({"--", "--json"}, d).demande, demande_run::executer);
    EXPECT_EQ(d.programme, "--json");
}

const char* const compte_a_rebours = "PUSHI 3\nboucle: PUSHI 1\nSUB\nBNEZ boucle\nBT *\n";
const char* const echo = "boucle: PUSH PORTE\nPOP PORTB\nBT boucle\n";

// Le source assemble, charge et execute par le moteur, comme karvela-run le fait.
struct execution {
    etat_final etat;
    std::string trace;
};
execution execute_source(std::string const& source, std::string const& arguments) {
    options_run o;
    EXPECT_EQ(lit_options_run(mots(arguments + " p.asm"), o).demande, demande_run::executer);
    programme_charge const p = programme_source(assemble(source));
    EXPECT_TRUE(p.charge) << source;
    std::ostringstream trace;
    observateur const ecrit = [&trace](unsigned short adresse, char const* instruction,
                                       mp_interpreteur const& cpu) {
        trace << ligne_trace(adresse, instruction, cpu) << "\n";
    };
    machine_seule seule;
    arret_decrit const a = lance_programme(seule, p, demande_de(o), o.trace ? ecrit : nullptr);
    return {releve(seule.m(), a, o.zones), trace.str()};
}

TEST(Run, ArretsEtEtatFinal) {
    const struct {
        const char* source;
        const char* arguments;
        long long pas;
        arret raison;
        unsigned short PC;
        int port_b;
    } cas[] = {
        {compte_a_rebours, "", 11, arret::boucle, 0x0008, 0},
        {compte_a_rebours, "--trace", 11, arret::boucle, 0x0008, 0},
        {compte_a_rebours, "-n 10", 10, arret::limite, 0x0008, 0},
        {compte_a_rebours, "-n 0", 0, arret::limite, 0x0000, 0},
        {compte_a_rebours, "-n 0 --trace", 0, arret::limite, 0x0000, 0},
        {compte_a_rebours, "--jusqu-a 4", 2, arret::point_arret, 0x0004, 0},
        {compte_a_rebours, "--jusqu-a 4 --trace", 2, arret::point_arret, 0x0004, 0},
        {echo, "--entree E=5", 1000000, arret::limite, 0x0003, 5},
        {echo, "--entree E=5 -n 2", 2, arret::limite, 0x0006, 5},
        {echo, "--entree E=$ff --jusqu-a 0", 3, arret::point_arret, 0x0000, 0xFF},
        {"PUSHI 1\nDROP\nDROP\nBT *", "", 3, arret::erreur_pile, 0x0004, 0},
        {"DROP\nBT *", "--jusqu-a 1", 1, arret::erreur_pile, 0x0001, 0},
        {"BT *", "--jusqu-a 0", 1, arret::boucle, 0x0000, 0},
    };
    for (auto const& c : cas) {
        execution const e = execute_source(c.source, c.arguments);
        std::string const ici = std::string(c.source) + " " + c.arguments;
        EXPECT_EQ(e.etat.pas, c.pas) << ici;
        EXPECT_EQ(e.etat.raison, c.raison) << ici;
        EXPECT_EQ(e.etat.PC, c.PC) << ici;
        EXPECT_EQ(e.etat.ports[1], c.port_b) << ici;
    }
}

TEST(Run, LesEntreesDeCEtDToutesCliquablesAvantLaPremiereInstruction) {
    // DDRC et DDRD a $ff dans l'image : le port ne lit sa direction qu'apres une instruction.
    const char* const source = "NOP\n.org DDRC\n.octet $ff\n.org DDRD\n.octet $ff\n";
    etat_final const e = execute_source(source, "-n 0 --entree C=$5a --entree D=3 --entree "
                                                "A=$ff --entree B=$ff")
                             .etat;
    EXPECT_EQ(e.ports[2], 0x5A);
    EXPECT_EQ(e.ports[3], 0x03);
    EXPECT_EQ(e.ports[0], 0x8F) << "port A : bits 7 et 3..0 en entree";
    EXPECT_EQ(e.ports[1], 0x00) << "port B : que des sorties";
}

TEST(Run, ApresLeChargementLesPortsReecriventLeurRegistre) {
    // Une image qui stocke dans les registres de valeur : les ports y remettent leur valeur.
    etat_final const e =
        execute_source("NOP\n.org PORTB\n.octet $aa\n.org PORTE\n.octet $55\n", "-n 0").etat;
    EXPECT_EQ(e.ports[1], 0);
    EXPECT_EQ(e.ports[4], 0);
}

TEST(Run, TraceEtRapports) {
    execution const e = execute_source(compte_a_rebours, "-n 2 --trace --memoire 0:3");
    EXPECT_EQ(e.trace, "0000  PUSHI 3     PC=0002 SP=0 CCR=00000000 A=00 X=0000 pile=[3]\n"
                       "0002  PUSHI 1     PC=0004 SP=1 CCR=00000000 A=00 X=0000 pile=[3 1]\n");
    EXPECT_EQ(rapport_json(execute_source(compte_a_rebours, "--memoire $0:3 --memoire 4:0").etat),
              "{\"pas\": 11, \"arret\": \"boucle\", \"PC\": 8, \"SP\": 0, \"pile\": [0], "
              "\"CCR\": 4, \"A\": 0, \"X\": 0, \"ports\": {\"A\": 0, \"B\": 0, \"C\": 0, \"D\": 0, "
              "\"E\": 0, \"DDRC\": 0, \"DDRD\": 0}, \"memoire\": [{\"adresse\": 0, \"octets\": "
              "[1, 3, 1]}, {\"adresse\": 4, \"octets\": []}], \"arret_en\": 8, \"ligne\": 5}\n");
    EXPECT_EQ(rapport_texte(execute_source("PUSHI -2\nBT *", "--memoire 0:2").etat),
              "Arrêt : fin de programme (boucle en $0002), après 2 instructions\n"
              "PC $0002  SP 0  CCR 00001000 (ENZVC)  A $00  X $0000\n"
              "Pile (du fond au sommet) : -2\n"
              "Ports : A $00 B $00 C $00 D $00 E $00  DDRC $00 DDRD $00\n"
              "Mémoire $0000 : 01 fe\n");
    struct {
        char const* source;
        char const* arguments;
        char const* premiere_ligne;
    } const arrets[] = {
        {"NOP", "-n 1", "Arrêt : limite atteinte en $0001, après 1 instruction\n"},
        {"DROP\nBT *", "", "Arrêt : pile vide ligne 1 (DROP), après 1 instruction\n"},
        {"NOP\nb: PUSHI 1\nBT b", "",
         "Arrêt : pile pleine ligne 2 (PUSHI), après 34 instructions\n"},
        {"BT d+1\nd: .octet 0, 5", "", "Arrêt : pile vide en $0004 (DROP), après 2 instructions\n"},
    };
    for (auto const& a : arrets) {
        std::string const t = rapport_texte(execute_source(a.source, a.arguments).etat);
        EXPECT_EQ(t.substr(0, t.find('\n') + 1), a.premiere_ligne);
    }
}

TEST(Run, ArretEnEtLigneDuSource) {
    const char* const saut_dans_les_donnees = "BT donnees+1\ndonnees: .octet 0, $1a, $ff, $ff\n";
    const struct {
        const char* source;
        const char* arguments;
        unsigned short arret_en;
        int ligne; // 0 : l'adresse ne commence aucune ligne
    } cas[] = {
        {"PUSHI 1\nDROP\nDROP\nBT *", "", 0x0003, 3},
        {compte_a_rebours, "-n 1", 0x0002, 2},
        {compte_a_rebours, "--jusqu-a 4", 0x0004, 3},
        {saut_dans_les_donnees, "-n 1", 0x0004, 0},
    };
    for (auto const& c : cas) {
        etat_final const e = execute_source(c.source, c.arguments).etat;
        EXPECT_EQ(e.adresse_arret, c.arret_en) << c.source << " " << c.arguments;
        EXPECT_EQ(e.ligne, c.ligne) << c.source << " " << c.arguments;
    }
}

// Ce que karvela-run ne demande pas encore au moteur : des entrees changees apres
// N instructions et des octets poses avant la premiere.
TEST(Moteur, EntreesApresNPasEtOctetsPoses) {
    const char* const lit_donnee = "PUSH donnee\nPOP PORTB\nBT *\ndonnee: .octet 1\n";
    const struct {
        const char* source;
        std::vector<evenement_entree> entrees;
        std::vector<octets_poses> memoire;
        int port_b;
    } cas[] = {
        {echo, {{0, 4, 5}}, {}, 5},
        {echo, {{0, 4, 5}, {3, 4, 9}}, {}, 9}, // lue par la 4e instruction
        {echo, {{4, 4, 9}, {0, 4, 5}}, {}, 5}, // apres la 4e : la boucle suivante la lirait
        {lit_donnee, {}, {{0x0009, {42}}}, 42},
    };
    for (auto const& c : cas) {
        demande_execution d;
        d.pas_max = 6;
        d.entrees = c.entrees;
        d.memoire = c.memoire;
        machine_seule seule;
        lance_programme(seule, programme_source(assemble(c.source)), d);
        EXPECT_EQ(seule.memoire().read_byte(ports_machine[1].adresse_valeur), c.port_b) << c.source;
    }
}

} // namespace

namespace {

// --entree P=V@N et --pose : lues, puis passees au moteur ; une etiquette de --pose
// ne se trouve que dans le programme charge.
TEST(Run, EntreesEnRouteEtOctetsPoses) {
    const char* const lit_table = "PUSH table+1\nPOP PORTB\nBT *\ntable: .octet 1, 2\n";
    const struct {
        const char* source;
        const char* arguments;
        int port_b;
        const char* erreur; // usage fautif, ou pose non resolue
    } cas[] = {
        {echo, "-n 6 --entree E=5 --entree E=9@3", 9, ""},
        {echo, "-n 6 --entree E=5 --entree E=9@4", 5, ""},
        {lit_table, "--pose table=7,8", 8, ""},
        {lit_table, "--pose $0a=42", 42, ""},
        {lit_table, "--pose tabel+1=3", 0,
         "--pose tabel+1 : étiquette « tabel » absente du programme (voulez-vous dire « table » "
         "?)"},
        {lit_table, "--pose table+$fffe=1", 0,
         "--pose table+$fffe : adresse « table+$fffe » hors de la mémoire ($0000 à $ffff) (table "
         "vaut $0009 dans ce programme)"},
        {echo, "--entree E=1@x", 0,
         "entrée « E=1@x » invalide : après « @ », un nombre d'instructions de 0 à 4294967295"},
        {echo, "--pose 12", 0,
         "pose « 12 » invalide (attendu ADR=V[,V...], comme $0200=1,2 ou donnees+1=7, V de -128 "
         "à 255)"},
        {echo, "--pose $10=300", 0,
         "pose « $10=300 » invalide (attendu ADR=V[,V...], comme $0200=1,2 ou donnees+1=7, V de "
         "-128 à 255)"},
        {echo, "--pose $ffff=1,2", 0,
         "pose « $ffff=1,2 » : 2 octets depuis « $ffff » dépassent $ffff"},
    };
    for (auto const& c : cas) {
        options_run o;
        lecture_options const l = lit_options_run(mots(std::string(c.arguments) + " p.asm"), o);
        std::string erreur = l.message;
        demande_execution d = demande_de(o);
        programme_charge const p = programme_source(assemble(c.source));
        if (erreur.empty()) {
            erreur = ajoute_poses(o, p, d);
        }
        EXPECT_EQ(erreur, c.erreur) << c.arguments;
        if (erreur.empty()) {
            machine_seule seule;
            lance_programme(seule, p, d);
            EXPECT_EQ(seule.memoire().read_byte(ports_machine[1].adresse_valeur), c.port_b)
                << c.arguments;
        }
    }
    options_run o;
    ASSERT_EQ(lit_options_run(mots("--pose table=1 p.bin"), o).demande, demande_run::executer);
    demande_execution d;
    EXPECT_EQ(ajoute_poses(o, programme_charge(), d),
              "--pose table : étiquette « table » inconnue : un .bin n'a pas d'étiquettes");
}

TEST(Run, MemoireNommeeParSonEtiquette) {
    programme_charge const p = programme_source(assemble("PUSH table+1\nPOP PORTB\nBT *\n"
                                                         "table: .octet 1, 2\n"));
    const struct {
        const char* arguments;
        std::vector<unsigned> adresses; // des zones, dans l'ordre des options
        const char* erreur;
    } cas[] = {
        {"--memoire 0:1 --memoire table+1:1 --memoire PORTB:1 --memoire table:2",
         {0, 10, 0x1004, 9},
         ""},
        {"--memoire tabel:1",
         {},
         "--memoire tabel : étiquette « tabel » absente du programme "
         "(voulez-vous dire « table » ?)"},
    };
    for (auto const& c : cas) {
        options_run o;
        ASSERT_EQ(lit_options_run(mots(std::string(c.arguments) + " p.asm"), o).demande,
                  demande_run::executer);
        demande_execution d = demande_de(o);
        EXPECT_EQ(ajoute_poses(o, p, d), c.erreur) << c.arguments;
        std::vector<unsigned> adresses;
        for (zone_memoire const& z : o.zones) {
            adresses.push_back(z.adresse);
        }
        EXPECT_EQ(adresses, c.adresses) << c.arguments;
    }
}

} // namespace

namespace {

// --pourquoi QUOI : chaque forme devient sa question, ou son message.
TEST(Run, QuestionsDePourquoi) {
    programme_charge const p = programme_source(assemble("BT *\ndonnee: .octet 1, 2\n"));
    using q = question_pourquoi;
    const struct {
        const char* quoi;
        q::sorte_question sorte;
        int valeur; // entree, adresse ou drapeau
        const char* erreur;
    } cas[] = {
        {"B", q::memoire, 0x1004, ""},
        {"e", q::memoire, 0x100A, ""},
        {"DDRC", q::memoire, 0x1007, ""},
        {"pile", q::pile, -1, ""},
        {"pile:3", q::pile, 3, ""},
        {"Z", q::drapeau, CCR_Z, ""},
        {"ccr:E", q::drapeau, CCR_E, ""},
        {"ccr:c", q::drapeau, CCR_C, ""},
        {"arret", q::arret, 0, ""},
        {"$20", q::memoire, 0x20, ""},
        {"donnee+1", q::memoire, 4, ""},
        {"pile:16", q::pile, 0, "--pourquoi « pile:16 » : pile:N attend N de 0 (le fond) à 15"},
        {"ccr:Q", q::pile, 0, "--pourquoi « ccr:Q » : ccr: attend E, N, Z, V ou C"},
        {"donne", q::pile, 0,
         "--pourquoi donne : étiquette « donne » absente du programme (voulez-vous dire « donnee "
         "» ?)"},
        {"3x", q::pile, 0,
         "--pourquoi « 3x » inconnu (attendu A à E, DDRC, DDRD, pile, pile:N, N, Z, V, ccr:X, "
         "arret, une adresse ou une étiquette)"},
    };
    for (auto const& c : cas) {
        question_pourquoi lue;
        EXPECT_EQ(question_de(c.quoi, p, lue), c.erreur) << c.quoi;
        if (*c.erreur != '\0') {
            continue;
        }
        EXPECT_EQ(lue.sorte, c.sorte) << c.quoi;
        int const valeur = c.sorte == q::pile      ? lue.entree
                           : c.sorte == q::drapeau ? lue.masque
                           : c.sorte == q::memoire ? lue.adresse
                                                   : 0;
        EXPECT_EQ(valeur, c.valeur) << c.quoi;
    }
    options_run o;
    ASSERT_EQ(lit_options_run(mots("--pourquoi arret --pourquoi=B p.asm"), o).demande,
              demande_run::executer);
    EXPECT_EQ(o.pourquoi, (std::vector<std::string>{"arret", "B"}));
    demande_execution d;
    d.memoire = {{0x20, {1, 2}}};
    d.entrees = {{0, 4, 5}, {9, 4, 6}};
    std::vector<ecriture_exterieure> const e = ecritures_de(d);
    ASSERT_EQ(e.size(), 4u);
    EXPECT_TRUE(e[1].origine == ecriture_exterieure::pose && e[1].adresse == 0x21);
    EXPECT_TRUE(e[3].origine == ecriture_exterieure::evenement && e[3].pas == 9 &&
                e[3].adresse == 0x100A && e[3].valeur == 6);
}

} // namespace
