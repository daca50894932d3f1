# SPDX-License-Identifier: MIT
# nimbrel_install_man_page(PAGE): installs a roff man page gzipped, as Debian expects, into the
# section that its file name ends in (nimbrel-discover.1 goes to man1). Windows has no man pages:
# there it does nothing.
function(nimbrel_install_man_page page)
    if(WIN32)
        return()
    endif()
    get_filename_component(name ${page} NAME)
    string(REGEX MATCH "[0-9]$" section ${name})
    set(gzipped ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
    # -n: no name or time stamp in the header, so that the package builds reproducibly.
    add_custom_command(OUTPUT ${gzipped}
        COMMAND gzip -9 -n -c ${page} > ${gzipped}
        DEPENDS ${page} VERBATIM)
    add_custom_target(man_${name} ALL DEPENDS ${gzipped})
    install(FILES ${gzipped} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
