; Compteur sept segments : montre 0, 1, ... 9 sur l'afficheur du port C (la
; platine, Ctrl+P), puis recommence. Chaque chiffre est lu dans une table de
; motifs (bit 0 = segment a ... bit 6 = g), puis une boucle d'attente le laisse
; à l'écran. La machine n'a pas d'adressage indexé : le programme avance dans la
; table en réécrivant l'octet bas de l'opérande de son propre PUSH. La table
; tient sous $0100, l'octet bas suffit.
AFFICHEUR = PORTC
SORTIES   = $ff          ; DDRC : les huit bits du port C en sortie
DELAI     = 100          ; tours d'attente par chiffre (3 instructions chacun)

         PUSHI SORTIES
         POP DDRC
debut:   PUSHI motifs    ; octet bas de l'adresse du motif de 0
         POP lecture + 2
lecture: PUSH motifs     ; motif du chiffre courant
         POP AFFICHEUR
         PUSHI DELAI     ; attente
attente: PUSHI 1
         SUB
         BNEZ attente
         DROP
         PUSH lecture + 2 ; chiffre suivant : une case plus loin
         PUSHI 1
         ADD
         DUP
         POP lecture + 2
         PUSHI motifs + 10
         CMP             ; drapeaux de case - (motifs + 10)
         DROP
         DROP            ; ôte les deux, garde les drapeaux
         BNEZ lecture    ; pas encore après 9 : on l'affiche
         BT debut        ; après 9 : retour à 0

         .org $0040
;                 0    1    2    3    4    5    6    7    8    9
motifs:  .octet $3f, $06, $5b, $4f, $66, $6d, $7d, $07, $7f, $6f
