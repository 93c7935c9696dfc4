// Jetons depuis la carte de l'assembleur (lignes qui stockent, leurs octets) et
// la table des mnemoniques du processeur : rien n'est relu du source.
#include "promotion/similarite.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <numeric>

#include "simulateur/interpreteur.h"
#include "simulateur/port_es.h"

namespace {

bool mnemonique(int opcode, char const* nom) {
    return std::strcmp(internal_mp_interpreteur_libelle_instruction[opcode], nom) == 0;
}

bool adresse_de_port(unsigned adresse) {
    for (description_port const& p : ports_machine) {
        if (adresse == p.adresse_valeur || (p.a_direction && adresse == p.adresse_direction)) {
            return true;
        }
    }
    return false;
}

// L'opcode, et ce de l'operande qui ne depend pas de la mise en page.
std::uint64_t jeton(std::vector<unsigned char> const& o) {
    int const opcode = o[0] & masque_opcode;
    std::uint64_t j = static_cast<std::uint64_t>(opcode) << 24;
    if (mnemonique(opcode, "PUSHI") && o.size() >= 2) {
        j |= 0x100u | o[1];
    } else if ((mnemonique(opcode, "PUSH") || mnemonique(opcode, "POP")) && o.size() >= 3) {
        unsigned const adresse = (static_cast<unsigned>(o[1]) << 8) | o[2];
        if (adresse_de_port(adresse)) {
            j |= 0x200000u | adresse;
        }
    }
    return j;
}

std::uint64_t hache(std::vector<std::uint64_t> const& jetons, std::size_t debut) {
    std::uint64_t h = 14695981039346656037ull; // FNV-1a
    for (std::size_t i = debut; i < debut + jetons_par_empreinte; ++i) {
        for (int octet = 0; octet < 8; ++octet) {
            h ^= (jetons[i] >> (8 * octet)) & 0xFF;
            h *= 1099511628211ull;
        }
    }
    return h;
}

std::size_t communes(std::vector<std::uint64_t> const& a, std::vector<std::uint64_t> const& b) {
    std::size_t n = 0;
    for (std::size_t i = 0, j = 0; i < a.size() && j < b.size();) {
        if (a[i] == b[j]) {
            ++n, ++i, ++j;
        } else if (a[i] < b[j]) {
            ++i;
        } else {
            ++j;
        }
    }
    return n;
}

bool comparable(empreintes const& e) {
    return e.lignes.size() >= instructions_min && !e.gardees.empty();
}

// Les lignes des instructions marquees, en intervalles d'instructions qui se suivent.
std::vector<std::pair<int, int>> intervalles(empreintes const& e, std::vector<bool> const& marque) {
    std::vector<std::pair<int, int>> l;
    for (std::size_t i = 0; i < marque.size(); ++i) {
        if (!marque[i]) {
            continue;
        }
        if (i > 0 && marque[i - 1] && !l.empty()) {
            l.back().second = e.lignes[i];
        } else {
            l.emplace_back(e.lignes[i], e.lignes[i]);
        }
    }
    return l;
}

struct partition {
    std::vector<std::size_t> parent;
    explicit partition(std::size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }
    std::size_t racine(std::size_t i) {
        while (parent[i] != i) {
            i = parent[i] = parent[parent[i]];
        }
        return i;
    }
};

} // namespace

empreintes empreintes_de(programme_charge const& p) {
    empreintes e;
    if (!p.charge) {
        return e;
    }
    e.image = true;
    e.base = p.base;
    e.octets = p.image;
    std::vector<std::uint64_t> jetons;
    for (ligne_assemblee const& l : p.assemble.lignes) {
        if (l.instruction && !l.octets.empty()) {
            jetons.push_back(jeton(l.octets));
            e.lignes.push_back(l.ligne);
        }
    }
    for (std::size_t i = 0; i + jetons_par_empreinte <= jetons.size(); ++i) {
        e.hachages.push_back(hache(jetons, i));
    }
    // Winnowing : dans chaque fenetre de w hachages, le plus petit (le plus a
    // droite s'il y en a plusieurs), une seule fois par position.
    std::size_t derniere = e.hachages.size();
    for (std::size_t debut = 0; debut + fenetre_winnowing <= e.hachages.size(); ++debut) {
        std::size_t choisi = debut;
        for (std::size_t i = debut; i < debut + fenetre_winnowing; ++i) {
            if (e.hachages[i] <= e.hachages[choisi]) {
                choisi = i;
            }
        }
        if (choisi != derniere) {
            e.gardees.push_back(e.hachages[choisi]);
            derniere = choisi;
        }
    }
    if (e.gardees.empty() && !e.hachages.empty()) {
        e.gardees.push_back(*std::min_element(e.hachages.begin(), e.hachages.end()));
    }
    std::sort(e.gardees.begin(), e.gardees.end());
    e.gardees.erase(std::unique(e.gardees.begin(), e.gardees.end()), e.gardees.end());
    return e;
}

int ressemblance(empreintes const& a, empreintes const& b) {
    if (a.gardees.empty() || b.gardees.empty()) {
        return 0;
    }
    std::size_t const n = communes(a.gardees, b.gardees);
    std::size_t const tout = a.gardees.size() + b.gardees.size() - n;
    return static_cast<int>((200 * n + tout) / (2 * tout));
}

std::vector<groupe_semblable> groupes_semblables(std::vector<empreintes> const& copies, int seuil) {
    std::vector<groupe_semblable> groupes;
    // Memes octets a la meme base.
    std::map<std::pair<unsigned short, std::vector<unsigned char>>, std::vector<std::size_t>>
        images;
    for (std::size_t i = 0; i < copies.size(); ++i) {
        if (copies[i].image && !copies[i].octets.empty()) {
            images[{copies[i].base, copies[i].octets}].push_back(i);
        }
    }
    std::vector<std::size_t> image_de(copies.size(), copies.size());
    for (auto const& [cle, membres] : images) {
        for (std::size_t m : membres) {
            image_de[m] = membres.front();
        }
        if (membres.size() < 2) {
            continue;
        }
        groupe_semblable g;
        g.identiques = true;
        for (std::size_t m : membres) {
            g.membres.push_back(
                {m, intervalles(copies[m], std::vector<bool>(copies[m].lignes.size(), true))});
        }
        groupes.push_back(std::move(g));
    }
    // Semblables : les paires au-dessus du seuil, liees de proche en proche.
    partition p(copies.size());
    std::vector<int> mini(copies.size(), 100), maxi(copies.size(), 0);
    std::vector<bool> lie(copies.size(), false);
    for (std::size_t i = 0; i < copies.size(); ++i) {
        for (std::size_t j = i + 1; comparable(copies[i]) && j < copies.size(); ++j) {
            if (!comparable(copies[j]) || image_de[i] == image_de[j]) {
                continue;
            }
            int const s = ressemblance(copies[i], copies[j]);
            if (s < seuil) {
                continue;
            }
            std::size_t const a = p.racine(i), b = p.racine(j);
            std::size_t const r = std::min(a, b);
            int const bas = std::min({mini[a], mini[b], s});
            int const haut = std::max({maxi[a], maxi[b], s});
            p.parent[std::max(a, b)] = r;
            mini[r] = bas;
            maxi[r] = haut;
            lie[i] = lie[j] = true;
        }
    }
    std::map<std::size_t, std::vector<std::size_t>> composantes;
    for (std::size_t i = 0; i < copies.size(); ++i) {
        if (lie[i]) {
            composantes[p.racine(i)].push_back(i);
        }
    }
    for (auto const& [racine, membres] : composantes) {
        groupe_semblable g;
        g.score_min = mini[racine];
        g.score_max = maxi[racine];
        for (std::size_t m : membres) {
            std::vector<std::uint64_t> autres;
            for (std::size_t k : membres) {
                if (k != m) {
                    autres.insert(autres.end(), copies[k].hachages.begin(),
                                  copies[k].hachages.end());
                }
            }
            std::sort(autres.begin(), autres.end());
            std::vector<bool> marque(copies[m].lignes.size(), false);
            for (std::size_t h = 0; h < copies[m].hachages.size(); ++h) {
                if (std::binary_search(autres.begin(), autres.end(), copies[m].hachages[h])) {
                    std::fill(marque.begin() + static_cast<std::ptrdiff_t>(h),
                              marque.begin() +
                                  static_cast<std::ptrdiff_t>(h + jetons_par_empreinte),
                              true);
                }
            }
            g.membres.push_back({m, intervalles(copies[m], marque)});
        }
        groupes.push_back(std::move(g));
    }
    return groupes;
}

std::string texte_lignes(std::vector<std::pair<int, int>> const& lignes) {
    std::string t;
    for (auto const& [debut, fin] : lignes) {
        t += (t.empty() ? "" : ", ") + std::to_string(debut) +
             (fin != debut ? "-" + std::to_string(fin) : "");
    }
    return t;
}
