# The status sentences' string ids, natively (`ctest -R UiStatusString`).
brimlet_native_test(UiStatusStrings
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/status_strings_test.cpp
  LIBS brimlet_status_strings)
