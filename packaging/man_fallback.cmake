# Gives a manual page a Latin stand-in for every Cyrillic letter, used only
# where the output device has no such glyph. The pages quote the window's
# Russian labels ("Записать"); man formats for the reader's locale, and in
# the C or POSIX locale of a minimal system the ASCII device would drop them
# without a trace. groff's .fchar applies only when the glyph is missing, so a
# UTF-8 terminal still shows the Russian text.
# Usage: cmake -DPAGE=file.1 -P man_fallback.cmake
#        cmake -DCHECK=file.1.gz -DLABEL=text -P man_fallback.cmake
#          (formats the page for an ASCII terminal and fails unless LABEL shows)
if(CHECK)
  find_program(GROFF groff)
  find_program(PRECONV preconv)
  if(NOT GROFF OR NOT PRECONV)
    message("man_fallback.cmake: no groff here, the page is not formatted")
    return()
  endif()
  execute_process(COMMAND gzip -dc ${CHECK} COMMAND ${PRECONV} -e UTF-8
                  COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C ${GROFF} -man -Tascii
                  OUTPUT_VARIABLE text ERROR_VARIABLE errors RESULT_VARIABLE failed)
  string(FIND "${text}" "${LABEL}" at)
  if(failed OR at LESS 0)
    message(FATAL_ERROR "${CHECK} shows no ${LABEL} on an ASCII terminal: ${errors}")
  endif()
  return()
endif()
if(NOT PAGE)
  message(FATAL_ERROR "man_fallback.cmake: PAGE not given")
endif()

# А..Я in code point order, U+0410..U+042F; the small letters follow at U+0430.
set(upper A B V G D E Zh Z I J K L M N O P R S T U F Kh Ts Ch Sh Shch "\\(dq" Y "'" E Yu Ya)
set(lower a b v g d e zh z i j k l m n o p r s t u f kh ts ch sh shch "\\(dq" y "'" e yu ya)

function(glyph_name code out)
  math(EXPR v "${code}" OUTPUT_FORMAT HEXADECIMAL)
  string(SUBSTRING "${v}" 2 -1 hex)
  string(TOUPPER "${hex}" hex)
  set(${out} "\\[u0${hex}]" PARENT_SCOPE)
endfunction()

set(lines ".\\\" Latin letters where the output device has no Cyrillic ones\n")
foreach(i RANGE 31)
  list(GET upper ${i} u)
  list(GET lower ${i} l)
  math(EXPR cu "0x410 + ${i}")
  math(EXPR cl "0x430 + ${i}")
  glyph_name(${cu} gu)
  glyph_name(${cl} gl)
  string(APPEND lines ".fchar ${gu} ${u}\n.fchar ${gl} ${l}\n")
endforeach()
string(APPEND lines ".fchar \\[u0401] E\n.fchar \\[u0451] e\n")

file(READ "${PAGE}" page)
string(FIND "${page}" "\n.TH " at)
if(at LESS 0)
  message(FATAL_ERROR "man_fallback.cmake: ${PAGE} has no .TH line")
endif()
string(SUBSTRING "${page}" ${at} -1 rest)
string(SUBSTRING "${rest}" 1 -1 rest)  # from the .TH line on
string(FIND "${rest}" "\n" eol)
math(EXPR split "${at} + 1 + ${eol} + 1")
string(SUBSTRING "${page}" 0 ${split} head)
string(SUBSTRING "${page}" ${split} -1 tail)
file(WRITE "${PAGE}" "${head}${lines}${tail}")
