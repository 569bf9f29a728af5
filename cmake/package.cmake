# The installer and the portable zip of the programs this build makes:
# build/package/KeltoraProfessional-<version>-setup.exe and -portable.zip. They are part of every
# build of the windows preset, so a change that breaks packaging breaks the build; makensis and
# zip run again only when what they pack has changed.
find_program(KELTORA_MAKENSIS makensis)
find_program(KELTORA_ZIP zip)
if(NOT KELTORA_MAKENSIS OR NOT KELTORA_ZIP)
  message(FATAL_ERROR "makensis or zip is missing: run tools/bootstrap")
endif()

# The version the windows show is the one the packages are named after.
file(STRINGS ${CMAKE_SOURCE_DIR}/src/app/Product.h KELTORA_VERSION_LINE REGEX "kVersion = \"[0-9.]+\"")
string(REGEX MATCH "[0-9]+\\.[0-9]+" KELTORA_VERSION "${KELTORA_VERSION_LINE}")

set(KELTORA_PACKAGE_DIR ${CMAKE_SOURCE_DIR}/build/package)
set(KELTORA_SETUP ${KELTORA_PACKAGE_DIR}/KeltoraProfessional-${KELTORA_VERSION}-setup.exe)
set(KELTORA_PORTABLE ${KELTORA_PACKAGE_DIR}/KeltoraProfessional-${KELTORA_VERSION}-portable.zip)
set(KELTORA_PACKED_PROGRAMS $<TARGET_FILE:keltora> $<TARGET_FILE:keltora-cli> $<TARGET_FILE:autostart>)
set(KELTORA_PACKED_TEXTS ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENCE.txt)

add_custom_command(OUTPUT ${KELTORA_SETUP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KELTORA_PACKAGE_DIR}
  COMMAND ${KELTORA_MAKENSIS} -V2 -WX -DVERSION=${KELTORA_VERSION} -DBIN=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
          -DSOURCE=${CMAKE_SOURCE_DIR} -DOUTFILE=${KELTORA_SETUP} ${CMAKE_SOURCE_DIR}/packaging/keltora.nsi
  DEPENDS keltora keltora-cli autostart ${KELTORA_PACKED_PROGRAMS} ${KELTORA_PACKED_TEXTS}
          ${CMAKE_SOURCE_DIR}/packaging/keltora.nsi
  COMMENT "Packing ${KELTORA_SETUP}"
  VERBATIM)

# The README goes out as README.txt, as the installer installs it: Windows opens that by itself.
# The zip unpacks into a folder of its own, named like the product, never loose into the folder
# it is unpacked in.
set(KELTORA_PORTABLE_STAGE ${CMAKE_BINARY_DIR}/portable)
set(KELTORA_PORTABLE_FOLDER "Keltora Professional ${KELTORA_VERSION}")
set(KELTORA_PORTABLE_TREE "${KELTORA_PORTABLE_STAGE}/${KELTORA_PORTABLE_FOLDER}")
add_custom_command(OUTPUT ${KELTORA_PORTABLE}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KELTORA_PORTABLE_STAGE} ${KELTORA_PORTABLE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KELTORA_PORTABLE_TREE} ${KELTORA_PACKAGE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${KELTORA_PACKED_PROGRAMS} ${CMAKE_SOURCE_DIR}/LICENCE.txt ${KELTORA_PORTABLE_TREE}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/README.md ${KELTORA_PORTABLE_TREE}/README.txt
  COMMAND ${CMAKE_COMMAND} -E chdir ${KELTORA_PORTABLE_STAGE} ${KELTORA_ZIP} -q -X -r ${KELTORA_PORTABLE} ${KELTORA_PORTABLE_FOLDER}
  DEPENDS keltora keltora-cli autostart ${KELTORA_PACKED_PROGRAMS} ${KELTORA_PACKED_TEXTS}
  COMMENT "Packing ${KELTORA_PORTABLE}"
  VERBATIM)

add_custom_target(packages ALL DEPENDS ${KELTORA_SETUP} ${KELTORA_PORTABLE})

# The installer in a prefix of its own, as a user would run it (tests/wine/installer.sh).
keltora_wine_script_test(wine_installer tests/wine/installer.sh)
set_property(TEST wine_installer APPEND PROPERTY ENVIRONMENT "KELTORA_SETUP=${KELTORA_SETUP}")

# The shipped programs import KnownDLLs only and carry their manifests.
add_test(NAME program_imports COMMAND bash ${CMAKE_SOURCE_DIR}/tests/build/program_imports.sh ${CMAKE_OBJDUMP}
  ${KELTORA_PACKED_PROGRAMS})
set_tests_properties(program_imports PROPERTIES LABELS build)
