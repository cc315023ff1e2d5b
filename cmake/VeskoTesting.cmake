# vesko_add_qtest(NAME SOURCES file... LIBS lib... [LABELS label...])
# Builds one Qt Test program and registers it with CTest. GUI tests run on the offscreen
# platform unless they carry the label "xserver", which marks tests that need a real X server
# and a window manager (test.sh runs those under xvfb-run, and skips them where there is none).
# Tests read settings from a folder of the build tree, never from the user's own settings (such as
# the text size the window keeps); a test that writes settings points QSettings at its own folder.
function(vesko_test_settings name)
  set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
               "XDG_CONFIG_HOME=${PROJECT_BINARY_DIR}/tests/config")
endfunction()

function(vesko_add_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  # Tests include their shared helpers by their place in the tree ("tests/...").
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if("xserver" IN_LIST ARG_LABELS)
    add_test(NAME ${name}
             COMMAND ${PROJECT_SOURCE_DIR}/tests/run_under_x.sh $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
  vesko_test_settings(${name})
endfunction()
