// Texte de la fenetre d'aide : un modele ecrit une fois, dont quelques lignes
// marquees "%..." sont remplacees par des tableaux tires des tables du programme
// (instructions, drapeaux, ports, touches, exemple). Les lignes tiennent dans le
// navigateur de la fenetre d'aide (590 pixels) ; un test le mesure.
#include "simulateur/texte_aide.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>

#include "simulateur/interpreteur.h"
#include "simulateur/port_es.h"
#include "simulateur/version.h"

namespace {

// Colonnes des tableaux a chasse fixe (en caracteres).
constexpr std::size_t colonne_touches = 15;
constexpr std::size_t colonne_mnemonique = 11;
constexpr std::size_t colonne_pile = 20;
constexpr std::size_t colonne_drapeaux = 5;
constexpr std::size_t colonne_port = 9;
constexpr std::size_t noms_par_ligne = 4; // noms predefinis des ports

constexpr effet_instruction effets[] = {
    {"adr", "( -- m )", true, "m : octet en adr"},       // 0x00 PUSH
    {"n", "( -- n )", true, "n de -128 à 255"},          // 0x01 PUSHI
    {"adr", "( t -- )", true, "t va en adr"},            // 0x02 POP
    {"", "( t -- t t )", true, ""},                      // 0x03 DUP
    {"", "( s t -- t s )", true, "drapeaux de t"},       // 0x04 SWAP
    {"", "( t -- )", false, ""},                         // 0x05 DROP
    {"", "( s t -- s t s )", true, "drapeaux de s"},     // 0x06 OVER
    {"", "( r s t -- t r s )", true, "drapeaux de t"},   // 0x07 ROLL
    {"", "( s t -- x )", true, "x = s + t"},             // 0x08 ADD
    {"", "( s t -- x )", true, "x = s - t"},             // 0x09 SUB
    {"", "( t -- x )", true, "x = -t"},                  // 0x0A NEG
    {"", "( s t -- x )", true, "x = s * t (8 bits)"},    // 0x0B MULT
    {"", "( s t -- s t )", true, "drapeaux de s - t"},   // 0x0C CMP
    {"", "( s t -- x )", true, "x = s ET t"},            // 0x0D AND
    {"", "( s t -- x )", true, "x = s OU t"},            // 0x0E OR
    {"", "( s t -- x )", true, "x = s OU exclusif t"},   // 0x0F XOR
    {"", "( t -- x )", true, "x = 1 si t = 0, 0 sinon"}, // 0x10 NOT
    {"", "( t -- x )", true, "x = t / 2 signé"},         // 0x11 ASR
    {"", "( t -- x )", true, "x = t >> 1, b7 gardé"},    // 0x12 LSR
    {"", "( t -- x )", true, "x = t << 1"},              // 0x13 LSL
    {"cible", "( -- )", false, "saute si Z = 1"},        // 0x14 BEQZ
    {"cible", "( -- )", false, "saute si Z = 0"},        // 0x15 BNEZ
    {"cible", "( -- )", false, "saute si N = 1"},        // 0x16 BLTZ
    {"cible", "( -- )", false, "saute si N = 0"},        // 0x17 BGEZ
    {"cible", "( -- )", false, "saute si C = 1"},        // 0x18 BC
    {"cible", "( -- )", false, "saute si C = 0"},        // 0x19 BNC
    {"cible", "( -- )", false, "saute toujours"},        // 0x1A BT
    {"", "( -- )", false, "ne fait rien"},               // 0x1B NOP
};
static_assert(std::size(effets) == nombre_opcodes_definis, "un opcode sans effet decrit");

// Un drapeau du registre d'etat : lettre, masque, sens.
struct drapeau {
    char const* lettre;
    unsigned char masque;
    char const* sens;
};
constexpr drapeau drapeaux[] = {
    {"E", CCR_E, "erreur de pile ; ni une instruction ni RESET ne l'efface"},
    {"N", CCR_N, "bit 7 du dernier résultat (négatif)"},
    {"Z", CCR_Z, "dernier résultat nul"},
    {"V", CCR_V, "débordement : aucune instruction ne le change"},
    {"C", CCR_C, "retenue : aucune ne le change ; BC et BNC le lisent"},
};

std::vector<raccourci> const touches = {
    {"F1", "AIDE... : ouvre cette aide"},
    {"F7", "STEP : exécute une instruction"},
    {"Maj+F7", "pas arrière : annule la dernière instruction"},
    {"F5", "PLAY : lance le mode marche"},
    {"Maj+F5, Échap", "STOP : arrête le mode marche"},
    {"F9", "point d'arrêt sur la ligne du PC (source : du curseur)"},
    {"F4", "source : exécute jusqu'à la ligne du curseur"},
    {"Ctrl+F2", "RESET : PC à 0, pile vidée"},
    {"Ctrl+O", "Ouvrir fichier binaire"},
    {"Ctrl+Maj+O", "Ouvrir source..."},
    {"Ctrl+R", "Recharger ; la source est d'abord enregistrée"},
    {"Ctrl+E", "montre ou cache la fenêtre du source"},
    {"Ctrl+N", "nouvelle source, d'après un modèle"},
    {"Ctrl+S", "enregistre la source"},
    {"Ctrl+Maj+S", "enregistre la source sous un autre nom"},
    {"Ctrl+Z", "source : annule la dernière modification"},
    {"Ctrl+Y", "source : rétablit (aussi Ctrl+Maj+Z)"},
    {"Ctrl+Maj+E", "Exercice : ouvrir, puis montrer ou cacher la fenêtre"},
    {"F6", "Vérifier le programme chargé d'après l'exercice"},
    {"Ctrl+Q", "Quitter"},
    {"Ctrl+P", "Platine : LED, interrupteurs et afficheurs"},
    {"Ctrl+G", "Aller à une adresse ou une étiquette (dump)"},
    {"Ctrl++, Ctrl+=", "agrandit toutes les fenêtres (zoom)"},
    {"Ctrl+-", "rapetisse toutes les fenêtres"},
    {"Ctrl+0", "rend aux fenêtres leur taille d'origine"},
};

constexpr char const* exemple[] = {
    "; Compte à rebours de 3 à 0 sur le port B.",
    "DEPART = 3",
    "        PUSHI DEPART   ; le compteur",
    "boucle: DUP",
    "        POP   PORTB    ; montre le compteur",
    "        PUSHI 1",
    "        SUB",
    "        BNEZ  boucle   ; pas encore 0 : encore",
    "        POP   PORTB    ; montre 0",
    "        BT    *        ; fin du programme",
};

// Le modele ; une ligne "%nom" est remplacee par le tableau de ce nom.
constexpr char const* modele[] = {
    ("@c@l@bkarvela " KARVELA_VERSION),
    "@c@iSimulateur d'une machine à pile 8 bits",
    "@-",
    "@m@bLa fenêtre principale",
    "@bBarre du haut",
    "« Fichier » : « A propos de... », « Ouvrir fichier binaire » (Ctrl+O),",
    "« Quitter » (Ctrl+Q). Le dossier ouvre une source .asm (Ctrl+Maj+O) ;",
    "les flèches en rond rechargent le dernier fichier ouvert (Ctrl+R) ;",
    "la page montre ou cache la fenêtre du source (Ctrl+E) ; le « 8. »",
    "rouge ouvre la platine (Ctrl+P) ; la feuille « Exercice »",
    "(Ctrl+Maj+E) ouvre un exercice, la coche « Vérifier » (F6) le corrige ;",
    "puis les commandes du mode marche et « AIDE... ». Le nom du fichier",
    "ouvert est à droite, dessous.",
    "@bRegistres généraux",
    "A, X et PC se tapent en hexadécimal ; la valeur tapée compte à la",
    "commande suivante (par exemple STEP). Dessous : la valeur en binaire",
    "(A) ou en décimal (X, PC). Aucune instruction ne lit A, X ni tmpA.",
    "CCR montre les drapeaux, expliqués plus bas.",
    "@bRegistre d'entrée sortie",
    "Les cinq ports : nom, valeur en binaire et un bouton par bit, bit 7 à",
    "gauche. Vert : une entrée, qu'un clic bascule. Rouge : une sortie,",
    "que le programme écrit.",
    "@bBoutons",
    "@f cercle bleu     RESET : PC à 0, pile vidée (A, X, CCR,",
    "@f                 mémoire et ports gardés)",
    "@f carré rouge     STOP : arrête le mode marche",
    "@f triangle vert   PLAY : lance le mode marche depuis PC",
    "@f flèche à barre  STEP : exécute une instruction",
    "@bPile",
    "Les 16 cases de la pile interne, la plus basse en bas ; les cases",
    "occupées sont orange, le sommet est la plus haute (décimal signé).",
    "SP, l'indice du sommet, vaut -1 pour une pile vide et 15 pour une",
    "pleine ; la fenêtre l'écrit sous la pile (« SP = 3 ») et le marque",
    "d'un triangle à gauche du sommet. À droite, un trait vert marque les",
    "cases que la dernière instruction a posées, un trait rouge celles",
    "qu'elle a ôtées. Sous le désassemblage, « Pas : » compte les",
    "instructions exécutées depuis le chargement (moins celles annulées).",
    "@bDésassemblage",
    "Douze instructions ; celle du PC est orange et marquée « -> ».",
    "Flèches haut et bas : une instruction de plus haut ou de plus bas.",
    "Triangle : revient au PC. La liste repart du PC s'il en sort.",
    "Un clic sur une ligne pose ou retire un point d'arrêt. La molette fait",
    "comme les flèches.",
    "@bDump mémoire",
    "96 octets en hexadécimal, 8 par ligne après leur adresse. La glissière",
    "choisit le début ; les flèches, ou la molette, avancent ou reculent de",
    "8 octets. Ctrl+G demande une adresse ($1000, 4096) ou une étiquette de la",
    "source chargée, et le dump la montre sur sa première ligne.",
    "@bÉcrire en mémoire",
    "« adresse », « valeur », « x » (nombre d'octets) : décimal (12, -3),",
    "hexadécimal ($1f, 0x1f), binaire (%0101) ou caractère ('A'), comme dans",
    "un source et pour Ctrl+G. Le bouton, ou Entrée, écrit « valeur » dans",
    "« x » octets depuis « adresse » : $20, 0 et 16 mettent 16 zéros en $20.",
    "L'adresse va de -32768 à 65535 (-1 vaut $ffff), la valeur de -128 à",
    "255 : au-delà, une alerte le dit et rien n'est écrit. Un « x » de 0 ou",
    "moins n'écrit rien, de 65536 ou plus remplit toute la mémoire.",
    "@bGrand écran",
    "Ctrl++ (ou Ctrl+=, ou Ctrl et le + du pavé numérique) agrandit toutes",
    "les fenêtres d'un quart, jusqu'à 3 fois ; Ctrl+- les rapetisse, Ctrl+0",
    "leur rend leur taille. karvela --zoom 2 démarre deux fois plus grand.",
    "@-",
    "@m@bRaccourcis clavier",
    "%touches",
    "@-",
    "@m@bLe mode marche",
    "PLAY exécute le programme depuis PC, chaque instruction comme STEP ;",
    "STOP l'arrête aussitôt. STEP, RESET, l'ouverture d'un fichier et",
    "« Quitter » arrêtent d'abord la marche ; écrire en mémoire ou cliquer",
    "un bit agit sans l'arrêter.",
    "@bVitesse",
    "« Vitesse » : 1, 10, 100 ou 1000 instructions par seconde, ou « max » ;",
    "10 au départ. Jusqu'à 25 par seconde, chaque instruction est montrée.",
    "@bArrêts",
    "La marche s'arrête seule sur un point d'arrêt (avant son instruction),",
    "sur un branchement vers lui-même (BT * : la fin du programme) et sur",
    "chaque erreur de pile, même si E était déjà à 1. L'état s'affiche en",
    "haut : « En marche », « Arrêt : point d'arrêt en $0007 »,",
    "« Arrêt : fin de programme (boucle en $000b) »,",
    "« Arrêt : pile pleine en $0004 », « Arrêt : pile vide en $0004 »,",
    "« Arrêt demandé ». D'une source, une erreur de pile dit sa ligne et",
    "son instruction : « Arrêt : pile pleine ligne 3 (DUP) ». Un pas",
    "arrière, une écriture en mémoire ou un chargement l'effacent : il ne",
    "décrit plus la machine.",
    "@bPoints d'arrêt",
    "Un clic sur une ligne du désassemblage, ou F9 pour celle du PC, pose",
    "ou retire un point d'arrêt. Ils restent après RESET et Ctrl+R, et",
    "s'effacent quand un autre fichier est ouvert ; PLAY posé sur un point",
    "d'arrêt le passe.",
    "@bPas arrière",
    "Le bouton « Pas arrière » (Maj+F7) annule la dernière instruction, faite",
    "par STEP ou en marche : PC, pile, CCR, l'octet écrit par POP et les",
    "ports reviennent, jusqu'à 100 000 instructions en arrière. Ce que vous",
    "avez fait entre deux instructions (mémoire, registres, bits) reste.",
    "@bPourquoi ?",
    "Un clic droit sur une case de la pile, un port (nom, valeur ou bits),",
    "DDRC, DDRD, un octet du dump, un chiffre E, N, Z, V ou C de CCR, le",
    "texte d'arrêt, ou une étiquette de « Symboles » dans la fenêtre du",
    "source, ouvre la fenêtre « Pourquoi ? » : les instructions d'où",
    "vient la valeur, chacune avec son pas, son adresse, sa ligne et ce",
    "qu'elle a produit et consommé, d'après le pas arrière. Un clic sur",
    "une instruction ramène la machine juste après elle ; « Revenir » la",
    "rend exactement telle qu'à la question, bits cliqués compris ; fermer",
    "la fenêtre revient aussi. Un octet écrit par « adresse », « valeur »",
    "et « x » y est dit « tapé à la main ».",
    "@-",
    "@m@bLa platine",
    "Le « 8. » de la barre du haut (Ctrl+P) ouvre la platine, qui montre les",
    "ports comme du matériel : huit LED pour le port B, rouges pour un bit à 1,",
    "bit 7 à gauche ; huit interrupteurs pour le port E, dont un clic vaut un",
    "clic sur le bouton du bit (grisé : le bit est une sortie) ; deux",
    "afficheurs sept segments pour les ports C et D, bit 0 = segment a ...",
    "bit 6 = g, bit 7 = point, allumés à 1 (DDRC ou DDRD à $ff pour que le",
    "programme les écrive). examples/sept_segments.asm compte de 0 à 9 sur",
    "celui du port C, examples/chenillard.bin fait courir les LED.",
    "@-",
    "@m@bLe registre d'état CCR",
    "Huit bits sous « ENZVC », bit 7 à gauche : trois 0, puis E (bit 4),",
    "N (bit 3), Z (bit 2), V (bit 1) et C (bit 0).",
    "%ccr",
    "@-",
    "@m@bLe jeu d'instructions",
    "Un octet d'opcode (ses 5 bits bas ; les 3 bits hauts sont ignorés),",
    "puis 0, 1 ou 2 octets d'opérande ; un mot de 16 bits est rangé octet",
    "fort en premier. Sur la pile, t est le sommet, s l'entrée dessous et r",
    "la suivante ; ( avant -- après ) montre la pile, sommet à droite.",
    "Les calculs se font sur 8 bits (modulo 256).",
    "%instructions",
    "Drap. : N et Z pris du résultat. Une instruction de pile (PUSH à LSL)",
    "qui n'a pas ses entrées, ou pas de place, ne fait que mettre E à 1 et",
    "avancer PC. SUB et CMP calculent s - t ; CMP ne dépile rien. NOT est",
    "logique. ASR arrondit vers 0 (-1 donne 0) ; LSR garde le bit 7.",
    "Un branchement range un déplacement de 16 bits compté depuis sa propre",
    "adresse ; l'assembleur le calcule d'après la cible. Aucune instruction",
    "ne change V ni C : BC et BNC vont toujours du même côté.",
    "@-",
    "@m@bLes ports d'entrée sortie",
    "Chaque registre est un octet de la mémoire : le programme lit les",
    "entrées par PUSH, écrit les sorties par POP, et les ports relisent",
    "leurs registres après chaque instruction. Direction : bit à 1 = sortie.",
    "%ports",
    "@-",
    "@m@bLe format .bin",
    "@f octets 0 et 1  taille du fichier, en-tête compris (4 à 32767)",
    "@f octets 2 et 3  adresse de base",
    "@f octets 4 ...   l'image, rangée à partir de la base",
    "Les nombres sont rangés octet fort en premier : 00 06 00 00 01 05",
    "met PUSHI 5 en $0000. Au chargement, la mémoire passe à 0, l'image va",
    "à sa base et PC à 0 : un programme commence toujours en $0000. Un",
    "fichier refusé (trop court, image au-delà de $FFFF) ne change rien.",
    "Une source ouverte, Ctrl+R et le fichier de la ligne de commande",
    "repartent d'un processeur neuf : pile vide (SP -1), CCR, A et X à 0,",
    "plus de pas arrière. « Ouvrir fichier binaire » ne remet que PC à 0 :",
    "la pile et CCR (E compris) du programme d'avant restent.",
    "@-",
    "@m@bL'assembleur",
    "« Ouvrir source... » assemble un fichier .asm et le charge comme un",
    ".bin ; s'il a des erreurs, la fenêtre du source les liste avec leur",
    "ligne et leur colonne, et la mémoire ne change pas. La commande",
    "karvela-asm fait de même hors de la fenêtre.",
    "Une instruction par ligne ; « ; » commence un commentaire.",
    "@f boucle:            étiquette (lettres, chiffres, _)",
    "@f NOM = 3            constante",
    "@f .org $0100         adresse de ce qui suit",
    "@f .octet 1, -2, \"ok\" octets (aussi .byte)",
    "@f .mot $1234, fin    mots de 16 bits (aussi .word)",
    "Nombres : 12, -3, $1f, 0x1f, %0101, 'A'. Expressions : + et - entre",
    "nombres, noms et * (l'adresse de l'instruction : BT * boucle sur",
    "place). PUSH et POP prennent une adresse, PUSHI un octet (-128 à 255),",
    "un branchement l'adresse de sa cible. Noms prédéfinis :",
    "%noms_ports",
    "@bExemple : compte à rebours sur le port B",
    "%exemple",
    "@-",
    "@m@bLa fenêtre du source",
    "Elle s'ouvre à côté de la fenêtre principale quand une source est",
    "chargée ; Ctrl+E la montre ou la cache (grisé avec un .bin). Le texte",
    "y est coloré, chaque ligne précédée de son numéro, de l'adresse de",
    "ce qu'elle range et, en bleu, des profondeurs que la pile peut avoir",
    "avant son instruction (« 2 », « 1-3 », « - » si rien n'y mène),",
    "comme dans le listing de karvela-asm.",
    "@bSuivre le programme",
    "La ligne de l'instruction du PC est orange et reste visible, après",
    "STEP, un pas arrière, RESET, un arrêt et en marche. Hors d'une",
    "instruction du source (données, mémoire vide, milieu d'instruction),",
    "aucune ligne n'est orange : « PC $0040 : hors du source ». Après un",
    "arrêt sur une erreur de pile, l'instruction fautive est en rose ; la",
    "ligne orange reste celle du PC, déjà après elle.",
    "Un clic dans la marge, ou F9 sur la ligne du curseur, pose ou retire",
    "un point d'arrêt : le même point rouge qu'au désassemblage. Une ligne",
    "sans instruction prend celle de la ligne suivante. F4 exécute jusqu'à",
    "la ligne du curseur : la marche s'arrête avant son instruction.",
    "@bSymboles",
    "Étiquettes et constantes avec leur valeur ; une étiquette de .octet",
    "ou de .mot montre aussi son contenu (hexadécimal et décimal signé),",
    "sur fond jaune quand la dernière instruction vient de l'écrire. Un",
    "clic sur un symbole montre son adresse dans le dump.",
    "@bModifier et recharger",
    "Le texte se modifie sur place : Ctrl+Z annule, Ctrl+Y rétablit,",
    "Ctrl+S enregistre, Ctrl+Maj+S enregistre sous un autre nom et",
    "Ctrl+N commence une nouvelle source d'après un modèle commenté.",
    "Ctrl+R, dans l'une ou l'autre fenêtre, enregistre le texte modifié,",
    "l'assemble et le charge ; les points d'arrêt restent sur leurs lignes.",
    "Un fichier changé sur le disque est relu s'il n'a rien de modifié",
    "dans la fenêtre ; sinon, vous choisissez. Quitter ou ouvrir un autre",
    "fichier avec des modifications demande d'abord s'il faut enregistrer.",
    "Deux secondes après la dernière frappe, le texte non enregistré est",
    "copié dans ~/.local/state/karvela/ (ou $XDG_STATE_HOME/karvela/),",
    "jamais à côté du fichier. Si karvela s'arrête sans enregistrer, rouvrir",
    "le fichier propose la copie, avec son âge : « Reprendre la copie » en",
    "fait une modification du fichier (Ctrl+Z revient au fichier). Une",
    "nouvelle source sans titre est proposée à Ctrl+N. La copie disparaît à",
    "l'enregistrement, à « Ne pas enregistrer » et en quittant.",
    "@bDiagnostics",
    "Sous le texte : « ligne:colonne: erreur: message », et les",
    "avertissements ; leur ligne est marquée dans la marge. Un clic mène",
    "le curseur à l'endroit. Avec une erreur, rien n'est chargé : la",
    "fenêtre principale garde le programme et le nom d'avant.",
    "@-",
    "@m@bLes exercices",
    "Un exercice est un fichier .toml que donne l'enseignant : des cas, chacun",
    "avec ses entrées, sa mémoire, ses événements et ce qu'il attend à",
    "l'arrêt. La feuille « Exercice » (Ctrl+Maj+E) en ouvre un, puis montre",
    "ou cache sa fenêtre. « Vérifier » (F6) corrige le dernier programme",
    "chargé (source assemblée ou .bin) comme karvela-note : une ligne par",
    "cas, ✔ ou ✘ avec ce qui diffère, et le total des points. La fenêtre",
    "reste utilisable pendant la correction.",
    "Choisir un cas puis « Préparer le cas » (Entrée) recharge le programme",
    "comme Ctrl+R, entrées de tous les ports à 0, puis pose les entrées et",
    "la mémoire du cas ; ses événements changent les entrées quand autant",
    "d'instructions ont tourné depuis, par STEP comme en marche, et le pas",
    "arrière les défait. Un chargement ou RESET oublie le cas préparé.",
    "@-",
    "@m@bLigne de commande",
    "@f karvela [--zoom F] [--exercice EXO.toml] [FICHIER.bin | FICHIER.asm]",
    "ouvre le fichier au démarrage, et l'exercice s'il est donné ; --zoom 1.5",
    "agrandit les fenêtres de moitié (de 1 à 3, par pas de 0,25).",
    "karvela --help et karvela --version répondent sans ouvrir de fenêtre.",
};

// Longueur affichee : les octets de suite UTF-8 ne comptent pas.
std::size_t largeur(std::string const& texte) {
    std::size_t n = 0;
    for (unsigned char c : texte) {
        n += (c & 0xC0) != 0x80 ? 1 : 0;
    }
    return n;
}

// Le texte suivi de blancs jusqu'a la colonne, et d'au moins un blanc.
std::string colonne(std::string texte, std::size_t largeur_colonne) {
    do {
        texte += ' ';
    } while (largeur(texte) < largeur_colonne);
    return texte;
}

std::string hexa(unsigned valeur, int chiffres) {
    char tampon[8];
    std::snprintf(tampon, sizeof tampon, "$%0*x", chiffres, valeur);
    return tampon;
}

// Numeros des bits a 1 du masque, du bit 0 au bit 7.
std::string bits(unsigned char masque) {
    if (masque == 0xFF) {
        return "tous";
    }
    std::string texte;
    for (int n = 0; n < 8; ++n) {
        if ((masque >> n) & 1) {
            texte += (texte.empty() ? "" : " ") + std::to_string(n);
        }
    }
    return texte;
}

void ajoute_touches(std::vector<std::string>& lignes) {
    for (raccourci const& r : touches) {
        lignes.push_back("@f " + colonne(r.touches, colonne_touches) + r.commande);
    }
}

void ajoute_drapeaux(std::vector<std::string>& lignes) {
    for (drapeau const& d : drapeaux) {
        lignes.push_back(std::string("@f ") + d.lettre + "  " + hexa(d.masque, 2) + "  " + d.sens);
    }
}

void ajoute_instructions(std::vector<std::string>& lignes) {
    lignes.push_back("@f@b " + colonne("Instr.", colonne_mnemonique) + "Code  T  " +
                     colonne("Pile", colonne_pile) + colonne("Drap.", colonne_drapeaux) + "Note");
    for (int op = 0; op < nombre_opcodes_definis; ++op) {
        effet_instruction const& e = effets[op];
        std::string mnemonique = internal_mp_interpreteur_libelle_instruction[op];
        if (e.operande[0] != '\0') {
            mnemonique += std::string(" ") + e.operande;
        }
        lignes.push_back("@f " + colonne(mnemonique, colonne_mnemonique) + hexa(op, 2) + "   " +
                         std::to_string(internal_mp_interpreteur_taille_instruction[op]) + "  " +
                         colonne(e.pile, colonne_pile) +
                         colonne(e.drapeaux_nz ? "N Z" : "-", colonne_drapeaux) + e.note);
    }
    // Les opcodes indefinis n'ont qu'un libelle, partage.
    lignes.push_back("@f " +
                     colonne(internal_mp_interpreteur_libelle_instruction[nombre_opcodes_definis],
                             colonne_mnemonique) +
                     hexa(nombre_opcodes_definis, 2) + "-" + hexa(nombre_opcodes - 1, 2).substr(1) +
                     " 1  " + colonne("( -- )", colonne_pile) + colonne("-", colonne_drapeaux) +
                     "indéfini");
}

std::string nom_port(int p) {
    return std::string("Port ") + static_cast<char>('A' + p);
}
std::string nom_direction(int p) {
    return std::string("DDR") + static_cast<char>('A' + p);
}

void ajoute_ports(std::vector<std::string>& lignes) {
    lignes.push_back("@f@b " + colonne("Port", colonne_port) + colonne("Adresse", colonne_port) +
                     "Bits");
    for (ligne_port const& l : tableau_ports()) {
        lignes.push_back("@f " + colonne(l.nom, colonne_port) + colonne(l.adresse, colonne_port) +
                         l.bits);
    }
}

// Les noms que l'assembleur connait sans definition, par adresse croissante.
void ajoute_noms_ports(std::vector<std::string>& lignes) {
    std::vector<std::pair<unsigned short, std::string>> noms;
    for (int p = 0; p < nb_ports; ++p) {
        description_port const& d = ports_machine[p];
        std::string const lettre(1, static_cast<char>('A' + p));
        noms.emplace_back(d.adresse_valeur, "PORT" + lettre);
        if (d.a_direction) {
            noms.emplace_back(d.adresse_direction, "DDR" + lettre);
        }
    }
    std::sort(noms.begin(), noms.end());
    std::string ligne;
    for (std::size_t i = 0; i < noms.size(); ++i) {
        ligne += " " + colonne(noms[i].second, 6) + hexa(noms[i].first, 4);
        if (i % noms_par_ligne == noms_par_ligne - 1 || i + 1 == noms.size()) {
            lignes.push_back("@f" + ligne);
            ligne.clear();
        } else {
            ligne += " ";
        }
    }
}

void ajoute_exemple(std::vector<std::string>& lignes) {
    for (char const* ligne : exemple) {
        lignes.push_back(std::string("@f ") + ligne);
    }
}

struct tableau {
    char const* marque;
    void (*ajoute)(std::vector<std::string>&);
};
constexpr tableau tableaux[] = {
    {"%touches", ajoute_touches},           {"%ccr", ajoute_drapeaux},
    {"%instructions", ajoute_instructions}, {"%ports", ajoute_ports},
    {"%noms_ports", ajoute_noms_ports},     {"%exemple", ajoute_exemple},
};

} // namespace

effet_instruction const& effet_de(int opcode) {
    return effets[opcode];
}

std::vector<raccourci> const& raccourcis_clavier() {
    return touches;
}

std::vector<ligne_port> tableau_ports() {
    std::vector<ligne_port> table;
    for (int p = 0; p < nb_ports; ++p) {
        description_port const& d = ports_machine[p];
        std::string bits_port;
        if (d.a_direction) {
            bits_port = nom_direction(p) + " en " + hexa(d.adresse_direction, 4) + " les choisit";
        } else {
            // Sans registre de direction, les masques fixent tout (l'entree l'emporte).
            unsigned char const sorties = d.forc_sortie & ~d.forc_entree;
            unsigned char const entrees = static_cast<unsigned char>(~sorties);
            bits_port = sorties == 0 ? "entrées : tous"
                        : entrees == 0
                            ? "sorties : tous"
                            : "sorties : " + bits(sorties) + " ; entrées : " + bits(entrees);
        }
        table.push_back({nom_port(p), hexa(d.adresse_valeur, 4), bits_port});
    }
    return table;
}

std::string programme_exemple() {
    std::string source;
    for (char const* ligne : exemple) {
        source += std::string(ligne) + "\n";
    }
    return source;
}

std::vector<std::string> lignes_aide() {
    std::vector<std::string> lignes;
    for (std::string const ligne : modele) {
        bool remplacee = false;
        for (tableau const& t : tableaux) {
            if (ligne == t.marque) {
                t.ajoute(lignes);
                remplacee = true;
            }
        }
        if (!remplacee) {
            lignes.push_back(ligne);
        }
    }
    return lignes;
}

namespace {

// Le texte d'une ligne sans ses codes de tete ("@b", "@C88", "@." les finit).
std::string sans_codes(std::string const& ligne) {
    std::size_t i = 0;
    while (i + 1 < ligne.size() && ligne[i] == '@' && ligne[i + 1] != '@') {
        char const code = ligne[i + 1];
        i += 2;
        if (code == '.') {
            break;
        }
        // Les codes a nombre : couleur, fond, police, taille.
        if (code == 'C' || code == 'B' || code == 'F' || code == 'S') {
            while (i < ligne.size() && ligne[i] >= '0' && ligne[i] <= '9') {
                ++i;
            }
        }
    }
    return ligne.substr(i);
}

} // namespace

std::vector<section_aide> sections_aide(std::vector<std::string> const& lignes) {
    std::vector<section_aide> sections;
    for (std::size_t i = 0; i < lignes.size(); ++i) {
        std::string const& l = lignes[i];
        int const niveau = l.rfind("@m@b", 0) == 0 ? 1 : l.rfind("@b", 0) == 0 ? 2 : 0;
        if (niveau > 0 && !sans_codes(l).empty()) {
            sections.push_back({sans_codes(l), niveau, static_cast<int>(i) + 1});
        }
    }
    return sections;
}

int section_de_ligne(std::vector<section_aide> const& sections, int ligne) {
    int trouvee = -1;
    for (std::size_t i = 0; i < sections.size() && sections[i].ligne <= ligne; ++i) {
        trouvee = static_cast<int>(i);
    }
    return trouvee;
}
