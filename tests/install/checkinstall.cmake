# Installs the build into PREFIX and checks the tree, the desktop entry and the metadata
# with the desktop's own validators (when they are there), and that the installed program
# finds its manual through the link in bin.
function(fail)
    message(FATAL_ERROR ${ARGN})
endfunction()

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    fail("cmake --install failed: ${result}")
endif()

set(expected
    ${FOLDER}/korvel ${FOLDER}/calc_manual_en.pdf ${FOLDER}/calc_manual_nl.pdf
    ${FOLDER}/calc_manual_de.pdf
    ${DATADIR}/applications/${APP_ID}.desktop
    ${DATADIR}/metainfo/${APP_ID}.metainfo.xml
    ${DATADIR}/icons/hicolor/scalable/apps/${APP_ID}.svg
    ${MANDIR}/man1/korvel.1.gz
    ${DATADIR}/doc/korvel/copyright)
foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND expected ${DATADIR}/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()
foreach(file IN LISTS expected)
    if(NOT EXISTS ${PREFIX}/${file} OR IS_DIRECTORY ${PREFIX}/${file})
        fail("not installed: ${file}")
    endif()
endforeach()

set(command ${PREFIX}/${BINDIR}/korvel)
if(NOT IS_SYMLINK ${command})
    fail("${BINDIR}/korvel is not a link")
endif()
file(REAL_PATH ${command} real)
file(REAL_PATH ${PREFIX}/${FOLDER}/korvel program)
if(NOT real STREQUAL program)
    fail("${BINDIR}/korvel leads to ${real}, not to ${program}")
endif()

find_program(desktop_file_validate desktop-file-validate)
find_program(appstreamcli appstreamcli)
foreach(check "${desktop_file_validate}|${DATADIR}/applications/${APP_ID}.desktop"
              "${appstreamcli}|validate|--no-net|${DATADIR}/metainfo/${APP_ID}.metainfo.xml")
    string(REPLACE "|" ";" check "${check}")
    list(POP_FRONT check tool)
    list(POP_BACK check file)
    if(NOT tool)
        message(STATUS "validator missing, not run for ${file}")
        continue()
    endif()
    execute_process(COMMAND ${tool} ${check} ${PREFIX}/${file}
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        fail("${tool} rejects ${file}:\n${output}")
    endif()
endforeach()

# Started through the link, in Dutch, the program must find the Dutch manual beside itself.
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen KORVEL_REPORT_MANUAL=1
        LANGUAGE= LC_ALL= LC_MESSAGES= LANG=nl_NL.UTF-8 XDG_CONFIG_HOME=${PREFIX}/config
        ${command}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_QUIET)
string(STRIP "${output}" output)
if(NOT result EQUAL 0 OR NOT output STREQUAL "manual: ${PREFIX}/${FOLDER}/calc_manual_nl.pdf")
    fail("the installed program did not find its manual: ${result} '${output}'")
endif()
if(EXISTS ${PREFIX}/config)
    fail("the installed program wrote settings while only reporting its manual")
endif()
message(STATUS "installed tree, validators and manual: fine")
