# The package's copyright file, changelog and manual page, in the places and forms Debian expects.
find_program(QUINDLE_GZIP gzip REQUIRED)
set(quindle_docdir "${CMAKE_INSTALL_DATADIR}/doc/quindle")
set(quindle_gen "${PROJECT_BINARY_DIR}/packaging")

# Licence texts in the copyright format: each line indented by a space, an empty line written as " .".
function(quindle_copyright_block text out)
    string(STRIP "${text}" text)
    string(REPLACE "\n" "\n " text " ${text}")
    string(REGEX REPLACE "\n[ ]*\n" "\n .\n" text "${text}")
    string(REGEX REPLACE "\n[ ]*\n" "\n .\n" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

file(READ "${PROJECT_SOURCE_DIR}/LICENSE" quindle_text)
quindle_copyright_block("${quindle_text}" quindle_licence)
# The SCOWL notices stand in the word list's comment header, after this line, up to the first entry.
file(READ "${PROJECT_SOURCE_DIR}/data/wordlist.txt" quindle_text LIMIT 65536)
set(quindle_marker "# SCOWL licence and credits")
string(FIND "${quindle_text}" "${quindle_marker}" quindle_at)
if(quindle_at LESS 0)
    message(FATAL_ERROR "data/wordlist.txt lacks the line \"${quindle_marker}\" before its SCOWL notices")
endif()
string(SUBSTRING "${quindle_text}" ${quindle_at} -1 quindle_text)
string(REGEX MATCH "(#[^\n]*\n)+" quindle_text "${quindle_text}")
string(REPLACE "\n# " "\n" quindle_text "${quindle_text}")
string(REPLACE "\n#" "\n" quindle_text "${quindle_text}")
string(FIND "${quindle_text}" "\n" quindle_at)
string(SUBSTRING "${quindle_text}" ${quindle_at} -1 quindle_text)
string(STRIP "${quindle_text}" quindle_text)
quindle_copyright_block("${quindle_text}" quindle_scowl_notice)
configure_file("${CMAKE_CURRENT_LIST_DIR}/copyright.in" "${quindle_gen}/copyright" @ONLY)
install(FILES "${quindle_gen}/copyright" DESTINATION "${quindle_docdir}")

# gzip -n leaves out the time stamp, so the same sources make the same package.
set(quindle_gz)
foreach(doc IN ITEMS changelog quindle.1)
    add_custom_command(OUTPUT "${quindle_gen}/${doc}.gz"
        COMMAND ${CMAKE_COMMAND} -E copy "${CMAKE_CURRENT_LIST_DIR}/${doc}" "${quindle_gen}/${doc}"
        COMMAND "${QUINDLE_GZIP}" -9nf "${quindle_gen}/${doc}"
        DEPENDS "${CMAKE_CURRENT_LIST_DIR}/${doc}" VERBATIM)
    list(APPEND quindle_gz "${quindle_gen}/${doc}.gz")
endforeach()
add_custom_target(quindle_debian_docs ALL DEPENDS ${quindle_gz})
install(FILES "${quindle_gen}/changelog.gz" DESTINATION "${quindle_docdir}")
install(FILES "${quindle_gen}/quindle.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
