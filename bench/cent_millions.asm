; Près de 10^8 instructions : trois compteurs d'un octet emboîtés, puis BT *.
        PUSHI 253       ; compteur extérieur
ext:    PUSHI 0         ; compteur du milieu : 256 tours
mil:    PUSHI 0         ; compteur intérieur : 256 tours
int:    NOP
        NOP
        NOP
        PUSHI 1
        SUB
        BNEZ int
        DROP
        PUSHI 1
        SUB
        BNEZ mil
        DROP
        PUSHI 1
        SUB
        BNEZ ext
        BT *
