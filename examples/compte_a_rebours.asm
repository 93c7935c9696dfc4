; Compte à rebours : la pile passe de 3 à 2, 1 puis 0, ensuite le programme
; boucle sur place.
DEPART = 3

        PUSHI DEPART    ; valeur de départ
boucle: PUSHI 1         ; début de boucle : le pas
        SUB             ; compteur - 1, Z à 1 quand il atteint 0
        BNEZ boucle     ; tant que non nul, retour en boucle
        BT *            ; fin : saut sur place
