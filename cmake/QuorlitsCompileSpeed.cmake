# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Quorlits developers
# What makes a build from a fresh clone, and every build after it, faster without making it
# weaker: ccache as the compiler launcher, and the standard, Qt and test headers precompiled once
# per kind of target instead of parsed again in every file.

# ccache keeps its cache outside the checkout (its default, ~/.cache/ccache), so a second clone
# on the same machine, as CI's, finds what the first compiled. Paths below the source folder are
# hashed relative to it and the working folder is left out of the hash, so the place of the
# clone does not matter. Precompiled headers need the two sloppiness settings to be cached;
# time macros are used nowhere in the program.
option(QUORLITS_CCACHE "Compile through ccache when it is installed" ON)
if(QUORLITS_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
    find_program(QUORLITS_CCACHE_PROGRAM ccache)
    if(QUORLITS_CCACHE_PROGRAM)
        set(launcher ${CMAKE_COMMAND} -E env
            CCACHE_BASEDIR=${PROJECT_SOURCE_DIR}
            CCACHE_NOHASHDIR=1
            CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
            ${QUORLITS_CCACHE_PROGRAM})
        set(CMAKE_C_COMPILER_LAUNCHER ${launcher})
        set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher})
    endif()
endif()

# One precompiled header per kind of target, built once in a small target of its own and reused
# by every target of that kind. A file still includes what it uses; the precompiled header only
# saves parsing it again.
option(QUORLITS_PCH "Reuse precompiled standard, Qt and test headers" ON)

set(quorlits_pch_std
    <algorithm> <array> <atomic> <cerrno> <chrono> <cstddef> <cstdint> <cstdio> <cstdlib>
    <cstring> <deque> <exception> <filesystem> <fstream> <functional> <limits> <map> <memory>
    <mutex> <optional> <set> <sstream> <stdexcept> <string> <string_view> <system_error>
    <thread> <utility> <vector>)
set(quorlits_pch_core ${quorlits_pch_std}
    <QByteArray> <QCoreApplication> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList>
    <QMetaObject> <QObject> <QPointer> <QSettings> <QString> <QStringList> <QTimer> <QVariant>)
set(quorlits_pch_widgets ${quorlits_pch_core}
    <QApplication> <QCheckBox> <QComboBox> <QDialog> <QGridLayout> <QGroupBox> <QHBoxLayout>
    <QImage> <QLabel> <QLineEdit> <QMessageBox> <QPainter> <QPixmap> <QPushButton>
    <QRadioButton> <QSpinBox> <QVBoxLayout> <QWidget>)

# Test programs are compiled for a quick build, not for speed: their own code is thin and long
# (each assertion expands to a branch and a message), the product libraries they test keep the
# build's optimisation, and an optimiser working through a thousand-line test function costs
# more than the whole run of the test saves.
set(quorlits_test_optimierung $<$<NOT:$<CONFIG:Debug>>:-O0>)

# quorlits_pch_kind(<kind> <headers> [TEST] <libraries...>) makes the target quorlits_pch_<kind>
# that builds the precompiled header for targets linking those libraries; TEST for test
# programs, whose optimisation the header must share.
function(quorlits_pch_kind kind headers)
    cmake_parse_arguments(ARG "TEST" "" "" ${ARGN})
    set(ziel quorlits_pch_${kind})
    set(quelle ${PROJECT_BINARY_DIR}/cmake/quorlits_pch_${kind}.cpp)
    file(CONFIGURE OUTPUT ${quelle} CONTENT "// Only the precompiled header is built here.\n")
    add_library(${ziel} STATIC ${quelle})
    target_link_libraries(${ziel} PRIVATE ${ARG_UNPARSED_ARGUMENTS} quorlits_warnings)
    set_target_properties(${ziel} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF
                                             POSITION_INDEPENDENT_CODE ON)
    if(ARG_TEST)
        target_compile_options(${ziel} PRIVATE ${quorlits_test_optimierung})
    endif()
    target_precompile_headers(${ziel} PRIVATE ${${headers}})
endfunction()

# The product's own libraries use precompiled headers except where g++ 12 optimises them: there
# it loses, for code inlined from a precompiled standard header, that the code is a system
# header's, and reports the false std::string overflows of GCC bug 105651 (-Warray-bounds).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13
   AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
    set(QUORLITS_PCH_PRODUKT OFF)
else()
    set(QUORLITS_PCH_PRODUKT ${QUORLITS_PCH})
endif()
if(QUORLITS_PCH_PRODUKT)
    quorlits_pch_kind(std quorlits_pch_std)
    quorlits_pch_kind(core quorlits_pch_core Qt6::Core)
    if(QUORLITS_WITH_GUI)
        quorlits_pch_kind(widgets quorlits_pch_widgets Qt6::Widgets)
    endif()
endif()

# quorlits_use_pch(<target> <kind>) lets the target reuse the precompiled header of that kind.
function(quorlits_use_pch ziel kind)
    if(NOT QUORLITS_PCH OR NOT TARGET quorlits_pch_${kind})
        return()
    endif()
    # A precompiled header is only used with the code model it was built for: -fPIC, which
    # Qt asks of every program that links it anyway.
    get_target_property(art ${ziel} TYPE)
    if(art STREQUAL "EXECUTABLE")
        target_compile_options(${ziel} PRIVATE -fPIC)
    else()
        set_target_properties(${ziel} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    endif()
    target_precompile_headers(${ziel} REUSE_FROM quorlits_pch_${kind})
endfunction()

# quorlits_gebundene(<target> <result>): the targets and libraries `target` links directly.
# The PRIVATE links of a static library reappear as $<LINK_ONLY:...> in its interface; they are
# in LINK_LIBRARIES already and left out.
function(quorlits_gebundene ziel ergebnis)
    get_target_property(art ${ziel} TYPE)
    set(links "")
    if(NOT art STREQUAL "INTERFACE_LIBRARY")
        get_target_property(links ${ziel} LINK_LIBRARIES)
    endif()
    get_target_property(schnittstelle ${ziel} INTERFACE_LINK_LIBRARIES)
    set(gebunden "")
    foreach(l IN LISTS links schnittstelle)
        if(l AND NOT l MATCHES "\\$<" AND NOT l MATCHES "-NOTFOUND$")
            list(APPEND gebunden ${l})
        endif()
    endforeach()
    set(${ergebnis} ${gebunden} PARENT_SCOPE)
endfunction()

# Whether `ziel` links `gesucht`, directly or through the libraries it links.
function(quorlits_linkt_ergebnis ziel gesucht ergebnis)
    set(offen ${ziel})
    set(gesehen "")
    while(offen)
        list(POP_FRONT offen t)
        if(t IN_LIST gesehen OR NOT TARGET ${t})
            continue()
        endif()
        list(APPEND gesehen ${t})
        get_target_property(echt ${t} ALIASED_TARGET)
        if(echt)
            set(t ${echt})
        endif()
        if(t STREQUAL gesucht)
            set(${ergebnis} TRUE PARENT_SCOPE)
            return()
        endif()
        quorlits_gebundene(${t} gebunden)
        list(APPEND offen ${gebunden})
    endwhile()
    set(${ergebnis} FALSE PARENT_SCOPE)
endfunction()

# Every library and program built in the named folders is compiled in unity files (eight source
# files in one; a file whose file-local names clash with another's is marked
# SKIP_UNITY_BUILD_INCLUSION in its folder) and gets the precompiled header of its kind: with
# windows, with QtCore, or the standard library only. Test programs are not unity-built: their
# files repeat helper names on purpose.
option(QUORLITS_UNITY "Compile the product's libraries in unity files" ON)
function(quorlits_produkt_beschleunigen)
    # The folders this build reads (one without windows skips those of the windows).
    set(gelesen "")
    set(offen ${PROJECT_SOURCE_DIR})
    while(offen)
        list(POP_FRONT offen ordner)
        get_property(unter DIRECTORY ${ordner} PROPERTY SUBDIRECTORIES)
        list(APPEND gelesen ${unter})
        list(APPEND offen ${unter})
    endwhile()
    foreach(ordner IN LISTS ARGN)
        if(NOT ${PROJECT_SOURCE_DIR}/${ordner} IN_LIST gelesen)
            continue()
        endif()
        get_property(ziele DIRECTORY ${PROJECT_SOURCE_DIR}/${ordner} PROPERTY BUILDSYSTEM_TARGETS)
        foreach(ziel IN LISTS ziele)
            get_target_property(art ${ziel} TYPE)
            if(NOT art MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$")
                continue()
            endif()
            set_target_properties(${ziel} PROPERTIES UNITY_BUILD ${QUORLITS_UNITY})
            quorlits_linkt_ergebnis(${ziel} Qt6::Widgets fenster)
            quorlits_linkt_ergebnis(${ziel} Qt6::Core kern)
            if(fenster)
                quorlits_use_pch(${ziel} widgets)
            elseif(kern)
                quorlits_use_pch(${ziel} core)
            else()
                quorlits_use_pch(${ziel} std)
            endif()
        endforeach()
    endforeach()
endfunction()
