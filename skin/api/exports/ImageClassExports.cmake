# Writes the module-definition file that exports the image layer's classes
# (CPixFile, CPixIOFile, CPixMemFile, CPixImage: members, virtual tables and
# type information) from Velmora.dll, taking their symbols from the built
# static library, plus the exports named apart from their C functions. Run with
# -DNM=<nm> -DLIBRARY=<library> -DOUTPUT=<.def file> -DALIASES=<name=function;...>.
execute_process(COMMAND "${NM}" -g --defined-only "${LIBRARY}"
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()

set(class_names "8CPixFile|10CPixIOFile|11CPixMemFile|9CPixImage")
set(pattern "^[0-9a-fA-F]+ [A-Z] _(_Z(N|NK|TVN|TIN|TSN)7Velmora(${class_names})[^ ]*)$")
string(REPLACE "\n" ";" lines "${listing}")
set(symbols)
foreach(line IN LISTS lines)
  if(line MATCHES "${pattern}")
    list(APPEND symbols "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(REMOVE_DUPLICATES symbols)
list(SORT symbols)
if(NOT symbols)
  message(FATAL_ERROR "no image class symbols found in ${LIBRARY}")
endif()
list(APPEND symbols ${ALIASES})

string(REPLACE ";" "\n    " body "${symbols}")
file(WRITE "${OUTPUT}.new" "EXPORTS\n    ${body}\n")
# Left untouched when nothing changed, so the library is not linked again.
execute_process(COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${OUTPUT}.new" "${OUTPUT}")
file(REMOVE "${OUTPUT}.new")
