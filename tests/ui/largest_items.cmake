# The "what uses the space" scan and window under Wine, on a generated tree
# mapped as a drive letter (largest/largest_items_test.sh).
if(NOT WIN32)
  return()
endif()

set(largest_dir ${CMAKE_CURRENT_LIST_DIR}/largest)
add_executable(test_largest_items ${largest_dir}/largest_items_test.cpp)
target_link_libraries(test_largest_items PRIVATE brimlet_ui brimlet_test_support GTest::gtest_main)
brimlet_add_resources(test_largest_items)
target_compile_definitions(test_largest_items PRIVATE BRIMLET_EXE="${BRIMLET_WORKSTATION_EXE}")
add_dependencies(test_largest_items simulated_workstation)
add_test(NAME test_largest_items
         COMMAND bash ${largest_dir}/largest_items_test.sh $<TARGET_FILE:test_largest_items>
                 ${CMAKE_BINARY_DIR}/wine-run.sh ${BRIMLET_WINEPREFIX})
set_tests_properties(test_largest_items PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE
                     ENVIRONMENT "LANG=en_US.UTF-8;LC_ALL=en_US.UTF-8")
brimlet_test_configurations(TESTS test_largest_items IN standard windows
                            TARGETS test_largest_items simulated_workstation)
