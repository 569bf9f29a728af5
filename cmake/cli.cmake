# keltora-cli.exe, the console front end, and the tests that drive it under Wine.
add_executable(keltora-cli src/cli/win32/main.cpp src/cli/win32/keltora-cli.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/cli/win32/keltora-cli.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/src/cli/win32/keltora-cli.manifest)
target_link_libraries(keltora-cli PRIVATE keltora_win32)
target_compile_options(keltora-cli PRIVATE ${KELTORA_WARNINGS})

keltora_wine_script_test(wine_cli_startup tests/wine/cli_startup.sh)
keltora_wine_script_test(wine_cli_backup tests/wine/cli_backup.sh)
keltora_wine_script_test(wine_registry_scanners tests/wine/registry_scanners.sh)
keltora_wine_script_test(wine_registry_views tests/wine/registry_views.sh)
keltora_wine_script_test(wine_cli_fullscan tests/wine/cli_fullscan.sh)
keltora_wine_script_test(wine_cli_privacy tests/wine/cli_privacy.sh)
keltora_wine_script_test(wine_cli_contract tests/wine/cli_contract.sh)
keltora_wine_script_test(wine_real_hives tests/wine/real_hives.sh)
set_tests_properties(wine_real_hives PROPERTIES TIMEOUT 900)
keltora_wine_script_test(wine_cli_undo tests/wine/cli_undo.sh)
keltora_wine_script_test(wine_cli_places tests/wine/cli_places.sh)
