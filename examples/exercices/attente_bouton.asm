; Attente : relit le port E tant que son bouton 0 est relâché, puis allume les
; huit sorties du port B et s'arrête.
attente: PUSH PORTE      ; ( e )
         PUSHI 1
         AND             ; ( e ET 1 ), Z si le bouton est relâché
         DROP            ; DROP ne touche pas aux drapeaux
         BEQZ attente
         PUSHI $FF
         POP PORTB
         BT *
