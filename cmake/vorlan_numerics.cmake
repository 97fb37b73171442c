# The INTERFACE target vorlan_numerics: the compiler flags of
# kernels/src/numerics_flags.list for this compiler.  Every target of the
# project links it (the kernels pass it on to whatever builds on them); it is
# never installed, so a user of the installed package keeps their own flags.
if(TARGET vorlan_numerics)
  return()
endif()

set(vorlan_numerics_list ${CMAKE_CURRENT_LIST_DIR}/../kernels/src/numerics_flags.list)
get_filename_component(vorlan_numerics_list ${vorlan_numerics_list} ABSOLUTE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${vorlan_numerics_list})

if(MSVC)
  set(vorlan_numerics_family msvc)
else()
  set(vorlan_numerics_family gnu)
endif()
file(STRINGS ${vorlan_numerics_list} vorlan_numerics_flags
     REGEX "^${vorlan_numerics_family} +[^ ]")
list(TRANSFORM vorlan_numerics_flags REPLACE "^${vorlan_numerics_family} +" "")
list(TRANSFORM vorlan_numerics_flags STRIP)
if(NOT vorlan_numerics_flags)
  message(FATAL_ERROR "No ${vorlan_numerics_family} flags in ${vorlan_numerics_list}")
endif()

add_library(vorlan_numerics INTERFACE)
target_compile_options(vorlan_numerics INTERFACE ${vorlan_numerics_flags})
