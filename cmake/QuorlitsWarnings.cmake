# SPDX-License-Identifier: GPL-3.0-or-later
# Every product and test target gets the same warnings through this interface target.
add_library(quorlits_warnings INTERFACE)
target_compile_options(quorlits_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
    $<$<BOOL:${QUORLITS_WERROR}>:-Werror>
    # g++ 12 at -O3 reports false overlaps in inlined std::string copies (GCC bug 105651).
    $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>)
