; Somme : range dans somme la somme (modulo 256) des quatre octets de donnees,
; puis s'arrête. La pile ne garde rien.
debut:   PUSH donnees
         PUSH donnees + 1
         ADD
         PUSH donnees + 2
         ADD
         PUSH donnees + 3
         ADD
         POP somme
         BT *

donnees: .octet 3, 1, 4, 1
somme:   .octet 0
