# The monitor's configurations and their installer packages, listed once in
# cmake/configurations.txt, which the Makefile reads too. Sets
# BRIMLET_CONFIGURATIONS, their names; BRIMLET_CONFIGURATION, the one this
# tree is built in: the configuration whose line's values the tree has, with
# the standard value of every other option that some line sets; "custom" for
# another combination. Options that no line sets (LEVEL_NOTIFICATION, the
# help pages) do not count. For the tree's configuration, when it has an
# installer line: BRIMLET_INSTALLER_UPGRADE_CODE, _FILE_NAME and
# _PRODUCT_NAME (packaging/msi).
# Needs the options of cmake/BuildOptions.cmake.
set(BRIMLET_CONFIGURATIONS_FILE ${CMAKE_CURRENT_LIST_DIR}/configurations.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${BRIMLET_CONFIGURATIONS_FILE})

# Reads the lines into BRIMLET_CONFIGURATIONS, _brimlet_options_<name> (the
# options a line sets) and _brimlet_value_<name>_<option>.
set(BRIMLET_CONFIGURATIONS "")
set(_brimlet_set_options "")
file(STRINGS ${BRIMLET_CONFIGURATIONS_FILE} _brimlet_lines REGEX "^[a-z]")
set(_brimlet_installer_lines ${_brimlet_lines})
list(FILTER _brimlet_installer_lines INCLUDE REGEX "^installer ")
list(FILTER _brimlet_lines EXCLUDE REGEX "^installer ")
foreach(_line IN LISTS _brimlet_lines)
  separate_arguments(_words UNIX_COMMAND "${_line}")
  list(POP_FRONT _words _name)
  list(APPEND BRIMLET_CONFIGURATIONS ${_name})
  set(_brimlet_options_${_name} "")
  foreach(_word IN LISTS _words)
    if(NOT _word MATCHES "^-D([A-Z_]+)=(.*)$")
      message(FATAL_ERROR "${BRIMLET_CONFIGURATIONS_FILE}: configuration ${_name}: "
                          "\"${_word}\" is not -DOPTION=value")
    endif()
    if(NOT DEFINED BRIMLET_STANDARD_${CMAKE_MATCH_1})
      message(FATAL_ERROR "${BRIMLET_CONFIGURATIONS_FILE}: configuration ${_name}: "
                          "${CMAKE_MATCH_1} is not a build option (cmake/BuildOptions.cmake)")
    endif()
    list(APPEND _brimlet_options_${_name} ${CMAKE_MATCH_1})
    list(APPEND _brimlet_set_options ${CMAKE_MATCH_1})
    set(_brimlet_value_${_name}_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
  endforeach()
endforeach()
list(REMOVE_DUPLICATES _brimlet_set_options)

# Whether `value` is the option's `wanted` one: booleans by truth (OFF, 0 and
# FALSE are one value), strings as written.
function(_brimlet_option_is option value wanted out)
  if(BRIMLET_OPTION_TYPE_${option} STREQUAL "BOOL")
    if((value AND wanted) OR (NOT value AND NOT wanted))
      set(${out} TRUE PARENT_SCOPE)
    else()
      set(${out} FALSE PARENT_SCOPE)
    endif()
  elseif(value STREQUAL wanted)
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

set(BRIMLET_CONFIGURATION custom)
foreach(_name IN LISTS BRIMLET_CONFIGURATIONS)
  set(_matches TRUE)
  foreach(_option IN LISTS _brimlet_set_options)
    if(_option IN_LIST _brimlet_options_${_name})
      set(_wanted "${_brimlet_value_${_name}_${_option}}")
    else()
      set(_wanted "${BRIMLET_STANDARD_${_option}}")
    endif()
    _brimlet_option_is(${_option} "${${_option}}" "${_wanted}" _same)
    if(NOT _same)
      set(_matches FALSE)
    endif()
  endforeach()
  if(_matches)
    set(BRIMLET_CONFIGURATION ${_name})
    break()
  endif()
endforeach()

# The installer lines: "installer NAME shipped|tree UPGRADE-CODE FILE-NAME
# PRODUCT NAME...".
set(_brimlet_installer_names "")
foreach(_line IN LISTS _brimlet_installer_lines)
  if(NOT _line MATCHES
     "^installer +([a-z0-9-]+) +(shipped|tree) +([0-9A-F]+(-[0-9A-F]+)+) +([a-z0-9.-]+) +([^ ].*)$")
    message(FATAL_ERROR "${BRIMLET_CONFIGURATIONS_FILE}: \"${_line}\" is not "
                        "\"installer NAME shipped|tree UPGRADE-CODE FILE-NAME PRODUCT NAME\"")
  endif()
  set(_name ${CMAKE_MATCH_1})
  if(NOT _name IN_LIST BRIMLET_CONFIGURATIONS OR _name IN_LIST _brimlet_installer_names)
    message(FATAL_ERROR "${BRIMLET_CONFIGURATIONS_FILE}: installer ${_name}: not a configuration "
                        "of the file, or a second line for it")
  endif()
  list(APPEND _brimlet_installer_names ${_name})
  if(_name STREQUAL BRIMLET_CONFIGURATION)
    set(BRIMLET_INSTALLER_UPGRADE_CODE ${CMAKE_MATCH_3})
    set(BRIMLET_INSTALLER_FILE_NAME ${CMAKE_MATCH_5})
    string(STRIP "${CMAKE_MATCH_6}" BRIMLET_INSTALLER_PRODUCT_NAME)
  endif()
endforeach()
