# Build-time choices of the monitor. Nothing at run time switches them.
# brimlet_option(NAME BOOL|STRING DEFAULT DOC): a cached choice whose default
# is the standard configuration's; cmake/Configurations.cmake names a tree's
# configuration by the choices that differ from it (BRIMLET_STANDARD_<NAME>).
macro(brimlet_option name type default doc)
  if("${type}" STREQUAL "BOOL")
    option(${name} "${doc}" ${default})
  else()
    set(${name} "${default}" CACHE ${type} "${doc}")
  endif()
  set(BRIMLET_STANDARD_${name} "${default}")
  set(BRIMLET_OPTION_TYPE_${name} ${type})
endmacro()

brimlet_option(UNIT_PARAMETER BOOL ON
               "Command line carries the threshold unit token (nine tokens)")
brimlet_option(CURRENCY_BALANCE BOOL OFF "Show balance amounts with the currency suffix")
brimlet_option(LEVEL_NOTIFICATION BOOL ON
               "Show a notification when the level rises to warning or danger")

# The locales whose users get the dialogs and strings in their own language
# in the standard set, English (United States) first; each has its folder in
# monitor/resources. The reduced set keeps them in English only, with every
# menu, and adds the menus of BRIMLET_REDUCED_MENU_LOCALES. These lists decide
# which language files the resources include.
set(BRIMLET_DIALOG_LOCALES en_US de_DE fr_FR nl_NL)
set(BRIMLET_REDUCED_MENU_LOCALES cs_CZ)

set(BRIMLET_LANGUAGE_SETS standard reduced)
brimlet_option(LANGUAGE_SET STRING standard "Resource language set: standard or reduced")
set_property(CACHE LANGUAGE_SET PROPERTY STRINGS ${BRIMLET_LANGUAGE_SETS})
if(NOT LANGUAGE_SET IN_LIST BRIMLET_LANGUAGE_SETS)
  message(FATAL_ERROR "LANGUAGE_SET is \"${LANGUAGE_SET}\"; it must be one of: "
                      "standard, reduced")
endif()

# Where a reading comes from: the NetWare client (directory space limits and
# the user's volume restriction), or Windows' own figures of the watched drive,
# which honour NTFS and SMB disk quotas.
set(BRIMLET_QUOTA_SOURCES netware windows)
brimlet_option(QUOTA_SOURCE STRING netware "Source of the quota figures: netware or windows")
set_property(CACHE QUOTA_SOURCE PROPERTY STRINGS ${BRIMLET_QUOTA_SOURCES})
if(NOT QUOTA_SOURCE IN_LIST BRIMLET_QUOTA_SOURCES)
  message(FATAL_ERROR "QUOTA_SOURCE is \"${QUOTA_SOURCE}\"; it must be one of: "
                      "netware, windows")
endif()
# What Explorer's properties and the manifest call the monitor.
if(QUOTA_SOURCE STREQUAL "windows")
  set(BRIMLET_MONITOR_DESCRIPTION "Brimlet drive quota monitor")
else()
  set(BRIMLET_MONITOR_DESCRIPTION "Brimlet NetWare disk quota monitor")
endif()

set(QUOTA_HELP_ADDRESS "http://helpdesk.example.org/quota.html" CACHE STRING
    "Page opened by the details window's quota help link")

# Each language set has its own print-help page. A cached default would stay
# that of the set the tree was first configured with, so the cache holds only
# an address the user gives; empty means the page of the set configured now,
# worked out again at every configure.
set(_print_help_standard "http://helpdesk.example.org/print.html")
set(_print_help_reduced "http://helpdesk.example.org/print-students.html")
set(PRINT_HELP_ADDRESS "" CACHE STRING
    "Page opened by the details window's print-accounting help link (empty: the language set's own)")
if(PRINT_HELP_ADDRESS STREQUAL "")
  # A normal variable of the same name hides the empty cache entry from
  # everything configured after this file.
  set(PRINT_HELP_ADDRESS "${_print_help_${LANGUAGE_SET}}")
endif()

# Compile definitions shared by every target of the monitor.
set(BRIMLET_VARIANT_DEFINITIONS
    BRIMLET_UNIT_PARAMETER=$<BOOL:${UNIT_PARAMETER}>
    BRIMLET_CURRENCY_BALANCE=$<BOOL:${CURRENCY_BALANCE}>
    BRIMLET_REDUCED_LANGUAGES=$<STREQUAL:${LANGUAGE_SET},reduced>
    BRIMLET_WINDOWS_DRIVE=$<STREQUAL:${QUOTA_SOURCE},windows>
    BRIMLET_LEVEL_NOTIFICATION=$<BOOL:${LEVEL_NOTIFICATION}>)
