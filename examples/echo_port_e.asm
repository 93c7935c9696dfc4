; Écho : recopie sans fin les bits du port E (huit entrées à cliquer) sur le
; port B (huit sorties).

boucle: PUSH PORTE      ; lire les boutons du port E
        POP PORTB       ; les écrire sur le port B
        BT boucle       ; recommencer
