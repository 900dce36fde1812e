# What Windows shows about a program: its version resource and, for the
# monitor, its application manifest. The version comes from the top-level
# project() alone. Both are written into the build tree per program, so a new
# project version rebuilds them. Nothing happens outside the Windows build.
include_guard(GLOBAL)

# brimlet_add_version_info(target DESCRIPTION text)
# Gives the executable `target` a version resource: the project version as
# file and product version, product name "Brimlet", the description and the
# file name.
function(brimlet_add_version_info target)
  cmake_parse_arguments(V "" "DESCRIPTION" "" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  _brimlet_program_names(${target})
  set(BRIMLET_FILE_DESCRIPTION "${V_DESCRIPTION}")
  set(BRIMLET_INTERNAL_NAME "${target}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../monitor/resources/program/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# brimlet_add_manifest(target DESCRIPTION text)
# Embeds the monitor's application manifest (asInvoker, Windows 7 to 11,
# system DPI awareness) into the executable `target`. Test programs that must
# see the screen as brimlet.exe does take it too.
function(brimlet_add_manifest target)
  cmake_parse_arguments(M "" "DESCRIPTION" "" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  _brimlet_program_names(${target})
  set(BRIMLET_FILE_DESCRIPTION "${M_DESCRIPTION}")
  # The identity names the program's own processor: Windows refuses a program
  # whose manifest names another.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(BRIMLET_MANIFEST_ARCHITECTURE amd64)
  else()
    set(BRIMLET_MANIFEST_ARCHITECTURE x86)
  endif()
  set(BRIMLET_MANIFEST_FILE ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../monitor/resources/program/brimlet.manifest.in ${BRIMLET_MANIFEST_FILE} @ONLY)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.rc)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../monitor/resources/program/manifest.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  # windres reads the manifest itself; without this a changed manifest would
  # not rebuild the resource.
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${BRIMLET_MANIFEST_FILE})
endfunction()

# Sets, in the caller's scope, the program's file name and the project
# version as "1,0,0,0" (binary fields) and "1.0.0.0" (manifest identity).
macro(_brimlet_program_names target)
  set(BRIMLET_FILE_NAME "${target}${CMAKE_EXECUTABLE_SUFFIX}")
  foreach(part MAJOR MINOR PATCH TWEAK)
    if("${PROJECT_VERSION_${part}}" STREQUAL "")
      set(_brimlet_${part} 0)
    else()
      set(_brimlet_${part} ${PROJECT_VERSION_${part}})
    endif()
  endforeach()
  set(BRIMLET_VERSION_COMMAS "${_brimlet_MAJOR},${_brimlet_MINOR},${_brimlet_PATCH},${_brimlet_TWEAK}")
  set(BRIMLET_VERSION_DOTS "${_brimlet_MAJOR}.${_brimlet_MINOR}.${_brimlet_PATCH}.${_brimlet_TWEAK}")
endmacro()

# brimlet_strip_for_release(target)
# The Windows program `target` as users get it: stripped after every link
# (what the package installs and make sign signs, and what the tests run),
# its debug information kept beside it as <file>.debug, which the program
# names (.gnu_debuglink) so that gdb finds it when reading a crash.
function(brimlet_strip_for_release target)
  if(NOT WIN32)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
            $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
