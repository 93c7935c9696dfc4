# L'icone des fenetres, en-tete C : les octets du PNG que rsvg-convert a tire de
# paquet/karvela.svg. Appele par la construction : cmake -DPNG=... -DSORTIE=... -P icone.cmake
file(READ ${PNG} octets HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," octets "${octets}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " octets "${octets}")
file(WRITE ${SORTIE}
  "// Fait par cmake/icone.cmake depuis paquet/karvela.svg : ne pas modifier.\n"
  "#ifndef KARVELA_ICONE_KARVELA_H\n#define KARVELA_ICONE_KARVELA_H\n\n"
  "static unsigned char const icone_karvela_png[] = {\n    ${octets}\n};\n\n#endif\n")
