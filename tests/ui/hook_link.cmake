# Tests of the window hook and the link label: under Wine the programs
# HookLinkHook and HookLinkLabel (`ctest -R HookLink`), natively the text rules
# (`ctest -R "BrowserCommand|OpenError"`). The classes under test
# are compiled from their own sources rather than taken from brimlet_ui, so
# these tests build whatever state the rest of the user interface is in.
set(hook_link_tests ${CMAKE_CURRENT_LIST_DIR})
set(hook_link_ui ${PROJECT_SOURCE_DIR}/monitor/ui)
set(hook_link_portable
  ${hook_link_ui}/portable/browser_command.cpp
  ${hook_link_ui}/portable/open_error_text.cpp)
set(hook_link_text_tests
  ${hook_link_tests}/link/browser_command_test.cpp
  ${hook_link_tests}/link/open_error_text_test.cpp)

if(NOT WIN32)
  brimlet_native_test(HookLinkTexts
    SOURCES ${hook_link_text_tests} ${hook_link_portable})
  target_include_directories(HookLinkTexts PRIVATE ${PROJECT_SOURCE_DIR}/monitor)
  # The status sentences' string ids, from the same portable library.
  brimlet_native_test(UiStatusStrings
    SOURCES ${hook_link_tests}/status_strings_test.cpp
    LIBS brimlet_ui_portable)
  return()
endif()

brimlet_wine_test(HookLinkHook
  SOURCES ${hook_link_tests}/hook/hook_wnd_test.cpp ${hook_link_ui}/hook_wnd.cpp
  LIBS brimlet_framework
  CONFIGURATIONS standard)

# Stands in for the web browser of the fallback; built beside the tests.
add_executable(link_browser_recorder ${hook_link_tests}/link/browser_recorder.cpp)

brimlet_wine_test(HookLinkLabel
  SOURCES
    ${hook_link_tests}/link/link_label_test.cpp
    ${hook_link_tests}/link/link_open_test.cpp
    ${hook_link_tests}/link/link_test_support.cpp
    ${hook_link_text_tests}
    ${hook_link_ui}/hook_wnd.cpp
    ${hook_link_ui}/link_label.cpp
    ${hook_link_ui}/browser_open.cpp
    ${hook_link_ui}/desktop_doors.cpp
    ${hook_link_portable}
  RESOURCES ${hook_link_tests}/link/link_test.rc
  LIBS brimlet_framework comctl32 shell32 advapi32 gdi32 user32
  CONFIGURATIONS standard)
add_dependencies(HookLinkLabel link_browser_recorder)
# The test dialog takes the program's own hand cursor from monitor/resources.
target_include_directories(HookLinkLabel PRIVATE
  ${hook_link_tests}/link ${PROJECT_SOURCE_DIR}/monitor ${PROJECT_SOURCE_DIR}/monitor/resources)
set_source_files_properties(${hook_link_tests}/link/link_test.rc PROPERTIES OBJECT_DEPENDS
  "${hook_link_tests}/link/link_test_ids.h;${PROJECT_SOURCE_DIR}/monitor/resources/resource.h;${PROJECT_SOURCE_DIR}/monitor/resources/pictures/hand.cur")
