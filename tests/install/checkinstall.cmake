# Installs the build into PREFIX and checks the tree, the desktop entry and the metadata
# with the desktop's own validators (when they are there), that the desktop tells Korvel's
# data files by their types, and that the installed program finds its manual through the
# link in bin.
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
    ${DATADIR}/mime/packages/${APP_ID}.xml
    ${DATADIR}/icons/hicolor/scalable/apps/${APP_ID}.svg
    ${MANDIR}/man1/korvel.1.gz
    ${DATADIR}/doc/korvel/copyright)
set(types application/x-korvel-cdf text/x-korvel-csv)
foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND expected ${DATADIR}/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
    foreach(type IN LISTS types)
        string(REPLACE / - icon ${type})
        list(APPEND expected ${DATADIR}/icons/hicolor/${size}x${size}/mimetypes/${icon}.png
            ${DATADIR}/icons/hicolor/scalable/mimetypes/${icon}.svg)
    endforeach()
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
find_program(xmllint xmllint)
foreach(check "${desktop_file_validate}|${DATADIR}/applications/${APP_ID}.desktop"
              "${appstreamcli}|validate|--no-net|${DATADIR}/metainfo/${APP_ID}.metainfo.xml"
              "${xmllint}|--noout|${DATADIR}/mime/packages/${APP_ID}.xml")
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

# The desktop opens Korvel's files, and only those, with Korvel, handing it their names.
file(READ ${PREFIX}/${DATADIR}/applications/${APP_ID}.desktop entry)
if(NOT entry MATCHES "\nExec=korvel %F\n" OR NOT entry MATCHES "\nMimeType=([^\n]*;)?${types};\n"
   OR entry MATCHES "text/csv")
    fail("the desktop entry does not open exactly Korvel's data files with %F:\n${entry}")
endif()

# With the package in the MIME database, Korvel's files get their types by their first
# bytes, and a NetCDF file or an ordinary CSV file with the same extension keeps its own.
find_program(update_mime_database update-mime-database)
find_program(gio gio)
if(NOT update_mime_database OR NOT gio)
    message(STATUS "update-mime-database or gio missing, the data file types not checked")
else()
    execute_process(COMMAND ${update_mime_database} ${PREFIX}/${DATADIR}/mime
        OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(output MATCHES "Error in|Failed|parser error")
        fail("update-mime-database rejects the package:\n${output}")
    endif()
    set(samples ${PREFIX}/samples)
    file(MAKE_DIRECTORY ${samples})
    # file name | its bytes, as printf writes them | the type the desktop must see
    foreach(sample "state.cdf|\\377\\376\\377\\0\\0\\0\\0\\0\\0\\0\\0\\0|application/x-korvel-cdf"
                   "x.cdf|CDF\\001\\0\\0\\0\\0|application/x-netcdf"
                   "state.csv|\\377\\376c\\0u\\0r\\0r\\0e\\0n\\0t\\0\\t\\0|text/x-korvel-csv"
                   "table.csv|a,b\\n1,2\\n|text/csv")
        string(REPLACE "|" ";" sample "${sample}")
        list(POP_FRONT sample name bytes type)
        execute_process(COMMAND printf "${bytes}" OUTPUT_FILE ${samples}/${name})
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env XDG_DATA_DIRS=${PREFIX}/${DATADIR}:/usr/share
                XDG_DATA_HOME=${samples} ${gio} info -a standard::content-type ${samples}/${name}
            OUTPUT_VARIABLE output ERROR_VARIABLE output)
        if(NOT output MATCHES "content-type: ${type}\n")
            fail("${name} is not seen as ${type}:\n${output}")
        endif()
    endforeach()
endif()

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
