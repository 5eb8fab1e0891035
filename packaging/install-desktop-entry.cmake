# Run by `cmake --install` (and CPack): installs the desktop entry with Exec
# set to the program's full path under the prefix being installed to.
file(READ "${HARPOLY_ENTRY_SOURCE}" entry)
set(program "${CMAKE_INSTALL_PREFIX}/${HARPOLY_BINDIR}/harpoly")
if(program MATCHES " ")
    set(program "\"${program}\"")
endif()
string(REPLACE "\nExec=harpoly\n" "\nExec=${program}\n" entry "${entry}")
file(WRITE "${HARPOLY_ENTRY_BUILT}" "${entry}")
file(INSTALL "${HARPOLY_ENTRY_BUILT}" DESTINATION "${CMAKE_INSTALL_PREFIX}/${HARPOLY_DATADIR}/applications")
