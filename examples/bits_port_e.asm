; Bits à 1 : montre sur le port B combien des huit boutons du port E sont à 1,
; et recommence sans fin. Chaque tour décale le nombre lu vers la gauche : le
; bit 7 arrive dans N, que BGEZ teste ; le nombre nul arrête le comptage.
BOUTONS   = PORTE
AFFICHAGE = PORTB

debut:   PUSHI 0         ; compte ( c )
         PUSH BOUTONS    ; ( c v ), Z et N d'après v
boucle:  BEQZ fini       ; plus aucun bit à 1
         BGEZ suivant    ; bit 7 à 0 : rien à compter
         SWAP            ; ( v c )
         PUSHI 1
         ADD             ; ( v c+1 )
         SWAP            ; ( c+1 v )
suivant: LSL             ; bit suivant en bit 7, Z et N d'après lui
         BT boucle
fini:    DROP            ; ( c )
         POP AFFICHAGE   ; le compte sur le port B
         BT debut
