; Chenillard sur le port B (huit sorties) : un seul bit allumé glisse du bit 0
; au bit 7, puis tout recommence.

debut:  PUSHI 1         ; motif de départ : bit 0
boucle: DUP             ; garder une copie du motif
        POP PORTB       ; afficher le motif sur le port B
        LSL             ; décaler le motif d'un bit vers la gauche
        BNEZ boucle     ; encore un bit : on l'affiche
        DROP            ; le motif est sorti : le retirer de la pile
        BT debut        ; et recommencer
