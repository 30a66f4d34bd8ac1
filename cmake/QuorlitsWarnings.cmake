# SPDX-License-Identifier: GPL-3.0-or-later
# Every product and test target gets the same warnings through this interface target.
add_library(quorlits_warnings INTERFACE)
target_compile_options(quorlits_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
    $<$<BOOL:${QUORLITS_WERROR}>:-Werror>)
