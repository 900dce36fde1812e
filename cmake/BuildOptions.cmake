# Build-time choices of the monitor. Nothing at run time switches them.
option(UNIT_PARAMETER "Command line carries the threshold unit token (nine tokens)" ON)
option(CURRENCY_BALANCE "Show balance amounts with the currency suffix" OFF)
set(LANGUAGE_SET "standard" CACHE STRING "Resource language set: standard or reduced")
set_property(CACHE LANGUAGE_SET PROPERTY STRINGS standard reduced)
set(QUOTA_HELP_ADDRESS "http://helpdesk.example.org/quota.html" CACHE STRING
    "Page opened by the details window's quota help link")
if(LANGUAGE_SET STREQUAL "reduced")
  set(_print_help_default "http://helpdesk.example.org/print-students.html")
else()
  set(_print_help_default "http://helpdesk.example.org/print.html")
endif()
set(PRINT_HELP_ADDRESS "${_print_help_default}" CACHE STRING
    "Page opened by the details window's print-accounting help link")

# Compile definitions shared by every target of the monitor.
set(BRIMLET_VARIANT_DEFINITIONS
    BRIMLET_UNIT_PARAMETER=$<BOOL:${UNIT_PARAMETER}>
    BRIMLET_CURRENCY_BALANCE=$<BOOL:${CURRENCY_BALANCE}>
    BRIMLET_REDUCED_LANGUAGES=$<STREQUAL:${LANGUAGE_SET},reduced>)
