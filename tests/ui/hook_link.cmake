# Tests of the window hook and the link label under Wine: the programs
# HookLinkHook and HookLinkLabel (`ctest -R HookLink`). The link's text rules,
# its browser command line and error texts, are core's (tests/core).
if(NOT WIN32)
  return()
endif()

set(hook_link_tests ${CMAKE_CURRENT_LIST_DIR})

brimlet_wine_test(HookLinkHook
  SOURCES ${hook_link_tests}/hook/hook_wnd_test.cpp
  LIBS brimlet_ui
  CONFIGURATIONS standard)

# Stands in for the web browser of the fallback; built beside the tests.
add_executable(link_browser_recorder ${hook_link_tests}/link/browser_recorder.cpp)

brimlet_wine_test(HookLinkLabel
  SOURCES
    ${hook_link_tests}/link/link_label_test.cpp
    ${hook_link_tests}/link/link_open_test.cpp
    ${hook_link_tests}/link/link_test_support.cpp
  RESOURCES ${hook_link_tests}/link/link_test.rc
  LIBS brimlet_ui brimlet_test_support
  CONFIGURATIONS standard)
add_dependencies(HookLinkLabel link_browser_recorder)
# The test dialog takes the program's own hand cursor from monitor/resources.
target_include_directories(HookLinkLabel PRIVATE
  ${hook_link_tests}/link ${PROJECT_SOURCE_DIR}/monitor/resources)
set_source_files_properties(${hook_link_tests}/link/link_test.rc PROPERTIES OBJECT_DEPENDS
  "${hook_link_tests}/link/link_test_ids.h;${PROJECT_SOURCE_DIR}/monitor/resources/resource.h;${PROJECT_SOURCE_DIR}/monitor/resources/pictures/hand.cur")
