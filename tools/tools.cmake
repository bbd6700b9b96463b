# Command-line tools on top of the host harness. kavrel-render and its tests read audio files
# through libsndfile, which only the native build has.

# Preset files move between platforms, so the tool that reads and writes them is built for
# both.
add_executable(kavrel-preset ${CMAKE_SOURCE_DIR}/tools/kavrel-preset.cpp)
target_compile_definitions(kavrel-preset PRIVATE KAVREL_VERSION="${PROJECT_VERSION}")
target_link_libraries(kavrel-preset PRIVATE kavrel_host)
add_dependencies(kavrel-preset Kavrel)

if(NOT CMAKE_CROSSCOMPILING)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)

  file(GLOB KAVREL_RENDER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/render/*.cpp)
  add_library(kavrel_render STATIC ${KAVREL_RENDER_SOURCES})
  target_include_directories(kavrel_render PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tools)
  target_link_libraries(kavrel_render PUBLIC kavrel_engine)

  add_executable(kavrel-render ${CMAKE_SOURCE_DIR}/tools/kavrel-render.cpp)
  target_compile_definitions(kavrel-render PRIVATE KAVREL_VERSION="${PROJECT_VERSION}")
  # The exports run on an engine of the tool's own, with the factory bank the plug-in carries.
  target_link_libraries(kavrel-render PRIVATE kavrel_render kavrel_host kavrel_resources)
  add_dependencies(kavrel-render Kavrel)

  if(KAVREL_TESTS)
    file(GLOB KAVREL_TOOLS_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/tools/*.cpp)
    add_executable(kavrel_tools_tests ${KAVREL_TOOLS_TESTS}
      ${CMAKE_SOURCE_DIR}/tests/support/TestEnvironment.cpp)
    target_include_directories(kavrel_tools_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(kavrel_tools_tests PRIVATE
      KAVREL_RENDER_EXE="$<TARGET_FILE:kavrel-render>"
      KAVREL_PRESET_EXE="$<TARGET_FILE:kavrel-preset>"
      KAVREL_PLUGIN_FILE="$<TARGET_FILE:Kavrel>")
    target_link_libraries(kavrel_tools_tests PRIVATE kavrel_render kavrel_host kavrel_resources
      PkgConfig::SNDFILE gtest gtest_main)
    add_dependencies(kavrel_tools_tests kavrel-render kavrel-preset Kavrel)
    add_test(NAME tools COMMAND kavrel_tools_tests --gtest_brief=1)
  endif()
endif()

# The editor drawn offscreen to PNG, from the engine library in-process.
add_executable(kavrel-editor-png ${CMAKE_SOURCE_DIR}/tools/kavrel-editor-png.cpp)
target_link_libraries(kavrel-editor-png PRIVATE kavrel_engine kavrel_resources kavrel_host)

# The editor in a real window: a test host of ours on X11 (Linux only; the Windows one runs the
# DLL under wine).
if(NOT WIN32)
  pkg_check_modules(KAVREL_EDITORHOST REQUIRED IMPORTED_TARGET x11 xtst cairo)
  add_executable(kavrel-editor-host ${CMAKE_SOURCE_DIR}/tools/editorhost/kavrel-editor-host.cpp)
  target_link_libraries(kavrel-editor-host PRIVATE kavrel_host kavrel_engine PkgConfig::KAVREL_EDITORHOST)
  add_dependencies(kavrel-editor-host Kavrel)
  if(KAVREL_TESTS)
    pkg_check_modules(KAVREL_XTEST REQUIRED IMPORTED_TARGET xtst)
    add_executable(kavrel_x11_tests ${CMAKE_SOURCE_DIR}/tests/x11/x11_window_test.cpp)
    target_link_libraries(kavrel_x11_tests PRIVATE kavrel_engine kavrel_resources
      PkgConfig::KAVREL_XTEST PkgConfig::KAVREL_EDITORHOST gtest gtest_main)
    add_test(NAME x11-window COMMAND sh ${CMAKE_SOURCE_DIR}/tests/gui/xvfb-run.sh
      $<TARGET_FILE:kavrel_x11_tests> --gtest_brief=1)
    add_test(NAME editor-window
      COMMAND sh ${CMAKE_SOURCE_DIR}/tests/gui/editor-window-test.sh
        $<TARGET_FILE:kavrel-editor-png> $<TARGET_FILE:kavrel-editor-host>
        $<TARGET_FILE:Kavrel> ${CMAKE_BINARY_DIR}/editor-window)
    set_tests_properties(x11-window editor-window PROPERTIES ENVIRONMENT
      "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/x11/lsan-suppressions.txt")
  endif()
else()
  # The Windows host drives the DLL under wine on the same kind of virtual display.
  add_executable(kavrel-editor-host ${CMAKE_SOURCE_DIR}/tools/editorhost/kavrel-editor-host-win32.cpp)
  target_link_libraries(kavrel-editor-host PRIVATE kavrel_host kavrel_engine gdiplus gdi32 user32)
  add_dependencies(kavrel-editor-host Kavrel)
  if(KAVREL_TESTS)
    add_test(NAME editor-window
      COMMAND bash ${CMAKE_SOURCE_DIR}/tests/gui/editor-window-test-wine.sh
        $<TARGET_FILE:kavrel-editor-png> $<TARGET_FILE:kavrel-editor-host>
        $<TARGET_FILE:Kavrel> ${CMAKE_BINARY_DIR}/editor-window)
  endif()
endif()
