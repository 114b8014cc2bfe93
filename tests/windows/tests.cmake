# The Windows tests: the suite runs under Wine where the build has an
# emulator (the 64-bit build); the programs are inspected in both builds.
add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/googletest ${CMAKE_CURRENT_BINARY_DIR}/googletest)

add_executable(windows_tests
  caption_test.cpp
  fpu_guard_test.cpp
  kit.cpp
  windows/windows_run_test.cpp)
target_include_directories(windows_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(windows_tests PRIVATE zovik_program gtest_main gmock)
target_link_options(windows_tests PRIVATE -static)

# Inspection: machine, subsystem, imports, size.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(pe_format pei-x86-64)
else()
  set(pe_format pei-i386)
endif()
add_test(NAME windows_program_inspection
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows/inspect.sh $<TARGET_FILE:zovik-install> ${pe_format}
          ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-objdump)

if(CMAKE_CROSSCOMPILING_EMULATOR)
  set(wine_environment "WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix" "WINEDEBUG=-all")
  # One prefix for every test, made before them.
  add_test(NAME wine_prefix COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init)
  set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${wine_environment}"
                       ENVIRONMENT_MODIFICATION "DISPLAY=unset:")

  # No display: the real MessageBoxA returns at once instead of waiting.
  add_test(NAME windows_tests COMMAND windows_tests)
  set_tests_properties(windows_tests PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT "${wine_environment}"
                       ENVIRONMENT_MODIFICATION "DISPLAY=unset:")

  add_test(NAME windows_end_to_end
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/windows/end_to_end.sh $<TARGET_FILE:zovik-install>
            ${CMAKE_CROSSCOMPILING_EMULATOR} ${CMAKE_CURRENT_BINARY_DIR}/end-to-end)
  # It makes its own display and Wine prefix.
  set_tests_properties(windows_end_to_end PROPERTIES ENVIRONMENT "WINEDEBUG=-all" TIMEOUT 300)
endif()
