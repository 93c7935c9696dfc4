; Carrés : montre sur le port B le carré du nombre 0..15 que donnent les quatre
; boutons bas du port E, lu dans une table d'octets. La machine n'a pas
; d'adressage indexé : le programme écrit l'adresse de la case voulue dans
; l'opérande de son propre PUSH. La table tient sous $0100, l'octet bas suffit.
BOUTONS   = PORTE
AFFICHAGE = PORTB
MASQUE    = %00001111    ; les quatre bits bas

debut:   PUSH BOUTONS    ; nombre lu sur le port E
         PUSHI MASQUE
         AND             ; n = 0..15
         PUSHI table     ; octet bas de l'adresse de la table
         ADD             ; octet bas de l'adresse du carré de n
         POP lecture + 2 ; devient l'octet bas de l'opérande du PUSH suivant
lecture: PUSH table      ; le carré de n
         POP AFFICHAGE
         BT debut

         .org $0020
table:   .octet 0, 1, 4, 9, 16, 25, 36, 49
         .octet 64, 81, 100, 121, 144, 169, 196, 225
