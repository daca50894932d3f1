# SPDX-License-Identifier: MIT
# nimbrel_add_windows_resource(TARGET DESCRIPTION): on Windows, gives the program TARGET the
# program icon, version information from project()'s version with DESCRIPTION as its file
# description, and the manifest of packaging/windows/. Does nothing elsewhere.
function(nimbrel_add_windows_resource target description)
    if(NOT WIN32)
        return()
    endif()
    set(windows_dir ${PROJECT_SOURCE_DIR}/packaging/windows)
    set(NIMBREL_RC_NAME ${target})
    set(NIMBREL_RC_DESCRIPTION "${description}")
    set(NIMBREL_RC_ICON ${windows_dir}/nimbrel-utility.ico)
    # The manifest's assembly version has four parts.
    set(NIMBREL_RC_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
    set(NIMBREL_RC_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
    configure_file(${windows_dir}/nimbrel.manifest ${NIMBREL_RC_MANIFEST} @ONLY)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    configure_file(${windows_dir}/program.rc.in ${rc} @ONLY)
    # windres does not see what the .rc includes by name; a changed icon or manifest must
    # still rebuild the resource.
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS
                                "${NIMBREL_RC_ICON};${NIMBREL_RC_MANIFEST}")
    target_sources(${target} PRIVATE ${rc})
endfunction()
