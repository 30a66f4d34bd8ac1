# SPDX-License-Identifier: GPL-3.0-or-later
# Writes which product target lists which source file ("target<TAB>path from the root" per
# line), so the layering test knows the target each file belongs to.
function(quorlits_quellen_aufschreiben datei)
    set(zeilen "")
    foreach(ziel IN LISTS ARGN)
        if(NOT TARGET ${ziel})
            continue()
        endif()
        get_target_property(art ${ziel} TYPE)
        if(art STREQUAL "UTILITY")
            continue()
        endif()
        get_target_property(ordner ${ziel} SOURCE_DIR)
        get_target_property(quellen ${ziel} SOURCES)
        get_target_property(schnittstelle ${ziel} INTERFACE_SOURCES)
        foreach(quelle IN LISTS quellen schnittstelle)
            if(quelle MATCHES "\\$<" OR NOT quelle MATCHES "\\.(h|cpp)$")
                continue()
            endif()
            cmake_path(ABSOLUTE_PATH quelle BASE_DIRECTORY "${ordner}" NORMALIZE
                       OUTPUT_VARIABLE absolut)
            cmake_path(RELATIVE_PATH absolut BASE_DIRECTORY "${PROJECT_SOURCE_DIR}"
                       OUTPUT_VARIABLE relativ)
            # Files the build writes (Qt's resource sources) belong to no folder of the program.
            cmake_path(IS_PREFIX PROJECT_BINARY_DIR "${absolut}" NORMALIZE erzeugt)
            if(erzeugt)
                continue()
            endif()
            string(APPEND zeilen "${ziel}\t${relativ}\n")
        endforeach()
    endforeach()
    file(WRITE "${datei}" "${zeilen}")
endfunction()
