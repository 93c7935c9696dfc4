; Somme, copie fautive : le quatrième octet est oublié.
debut:   PUSH donnees
         PUSH donnees + 1
         ADD
         PUSH donnees + 2
         ADD
         POP somme
         BT *

donnees: .octet 3, 1, 4, 1
somme:   .octet 0
