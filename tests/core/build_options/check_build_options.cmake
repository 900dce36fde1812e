# Configures the probe project in scratch trees and checks that the language
# set is checked, that the print-help page follows it on every configure,
# that the level notification is on by default, and that a tree is named
# after the configuration whose options it has.
# Run: cmake -DOPTIONS_FILE=... -DPROBE_DIR=... -DSCRATCH=... -P this file.
set(standard_page "http://helpdesk.example.org/print.html")
set(reduced_page "http://helpdesk.example.org/print-students.html")
set(failures 0)

# Configures the tree `tree` with the extra arguments; sets `result`, `output`
# and `resolved` (the probe's file, empty after a failed configure).
function(configure tree)
  file(REMOVE ${tree}/resolved.txt)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${PROBE_DIR} -B ${tree}
                          -DOPTIONS_FILE=${OPTIONS_FILE} ${ARGN}
                  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
  set(text "")
  if(EXISTS ${tree}/resolved.txt)
    file(READ ${tree}/resolved.txt text)
  endif()
  set(result ${code} PARENT_SCOPE)
  set(output "${out}${err}" PARENT_SCOPE)
  set(resolved "${text}" PARENT_SCOPE)
endfunction()

function(expect_page what page)
  if(NOT result EQUAL 0 OR NOT resolved MATCHES "PRINT_HELP_ADDRESS=${page}\n")
    message(SEND_ERROR "${what}: expected ${page}, configure gave ${result}:\n${resolved}${output}")
    math(EXPR failures "${failures} + 1")
    set(failures ${failures} PARENT_SCOPE)
  endif()
endfunction()

file(REMOVE_RECURSE ${SCRATCH})

# An unknown set is refused with a message that names the valid ones.
configure(${SCRATCH}/bogus -DLANGUAGE_SET=bogus)
if(result EQUAL 0 OR NOT output MATCHES "LANGUAGE_SET is \"bogus\"; it must be one of: standard, reduced")
  message(SEND_ERROR "LANGUAGE_SET=bogus was not refused clearly (${result}):\n${output}")
  math(EXPR failures "${failures} + 1")
endif()
configure(${SCRATCH}/bogus -DLANGUAGE_SET=Reduced)
if(result EQUAL 0)
  message(SEND_ERROR "LANGUAGE_SET=Reduced was accepted")
  math(EXPR failures "${failures} + 1")
endif()

# One tree reconfigured: the page follows the set each time.
configure(${SCRATCH}/follow)
expect_page("first configure, standard" ${standard_page})
configure(${SCRATCH}/follow -DLANGUAGE_SET=reduced)
expect_page("reconfigured as reduced" ${reduced_page})
configure(${SCRATCH}/follow)
expect_page("reconfigured, set unchanged" ${reduced_page})
configure(${SCRATCH}/follow -DLANGUAGE_SET=standard)
expect_page("reconfigured as standard" ${standard_page})

# A page the user gives stays whatever the set.
configure(${SCRATCH}/given -DPRINT_HELP_ADDRESS=http://127.0.0.1/p.html)
expect_page("given page" "http://127.0.0.1/p.html")
configure(${SCRATCH}/given -DLANGUAGE_SET=reduced)
expect_page("given page, reduced" "http://127.0.0.1/p.html")
configure(${SCRATCH}/given -DPRINT_HELP_ADDRESS=)
expect_page("given page taken back" ${reduced_page})

# The level notification is on unless a tree turns it off, and stays off there.
configure(${SCRATCH}/notification)
if(NOT resolved MATCHES "LEVEL_NOTIFICATION=ON\n")
  message(SEND_ERROR "LEVEL_NOTIFICATION is not on by default:\n${resolved}${output}")
  math(EXPR failures "${failures} + 1")
endif()
configure(${SCRATCH}/notification -DLEVEL_NOTIFICATION=OFF)
configure(${SCRATCH}/notification)
if(NOT resolved MATCHES "LEVEL_NOTIFICATION=OFF\n")
  message(SEND_ERROR "LEVEL_NOTIFICATION=OFF did not stay in the tree:\n${resolved}${output}")
  math(EXPR failures "${failures} + 1")
endif()

# A fresh tree configured with the options given is named `name`.
set(run 0)
function(expect_configuration name)
  math(EXPR run "${run} + 1")
  set(run ${run} PARENT_SCOPE)
  configure(${SCRATCH}/configuration${run} ${ARGN})
  if(NOT result EQUAL 0 OR NOT resolved MATCHES "CONFIGURATION=${name}\n")
    message(SEND_ERROR "options ${ARGN}: expected configuration ${name}, configure gave "
                       "${result}:\n${resolved}${output}")
    math(EXPR failures "${failures} + 1")
    set(failures ${failures} PARENT_SCOPE)
  endif()
endfunction()

# Every configuration of configurations.txt with its own options; then
# combinations that are, and are not, one of them.
get_filename_component(options_dir ${OPTIONS_FILE} DIRECTORY)
file(STRINGS ${options_dir}/configurations.txt lines REGEX "^[a-z]")
list(FILTER lines EXCLUDE REGEX "^installer ")
foreach(line IN LISTS lines)
  separate_arguments(words UNIX_COMMAND "${line}")
  expect_configuration(${words})
endforeach()
expect_configuration(standard -DLEVEL_NOTIFICATION=OFF)
expect_configuration(percent -DUNIT_PARAMETER=FALSE)
expect_configuration(custom -DUNIT_PARAMETER=OFF -DQUOTA_SOURCE=windows)
expect_configuration(custom -DCURRENCY_BALANCE=ON)

file(REMOVE_RECURSE ${SCRATCH})
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} build option check(s) failed")
endif()
