# The tray icon, its hook, the details window and the coloured label, under
# Wine. The program's resources supply the menu, the details window and the
# icons; the tray tests add a few menus of their own.
if(NOT WIN32)
  return()
endif()

set(tray_dir ${CMAKE_CURRENT_LIST_DIR}/tray)
set(details_dir ${CMAKE_CURRENT_LIST_DIR}/details)

# Against a recording shell, on hidden windows: may run beside other tests.
brimlet_wine_test(test_tray_icon
  SOURCES ${tray_dir}/tray_icon_test.cpp ${tray_dir}/shell_recorder.cpp
  RESOURCES ${tray_dir}/tray_test.rc
  LIBS brimlet_ui)

# Wine's own notification area and a pop-up menu on the screen.
brimlet_wine_test(test_tray_shell
  SOURCES ${tray_dir}/tray_shell_test.cpp ${tray_dir}/shell_recorder.cpp
  LIBS brimlet_ui
  SERIAL)

foreach(target test_tray_icon test_tray_shell)
  target_include_directories(${target} PRIVATE ${tray_dir})
  brimlet_add_resources(${target})
endforeach()

# The details window, its keys and its colours; windows are shown.
brimlet_wine_test(test_quota_details
  SOURCES ${details_dir}/quota_details_test.cpp
  LIBS brimlet_ui
  SERIAL)
brimlet_add_resources(test_quota_details)
