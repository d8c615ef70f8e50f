# The effect list (transitions/effect_list.txt) and the names the build
# derives from an effect's name, for transitions/ and tools/.

# vk_read_effect_list(VAR): the effect names, in the list's order.
function(vk_read_effect_list var)
  set(list_file ${CMAKE_SOURCE_DIR}/transitions/effect_list.txt)
  file(STRINGS ${list_file} lines)
  set(effects)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line MATCHES "^[A-Za-z0-9_]+$")
      list(APPEND effects ${line})
    elseif(NOT line STREQUAL "" AND NOT line MATCHES "^#")
      message(FATAL_ERROR "${list_file}: not an effect name: '${line}'")
    endif()
  endforeach()
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list_file})
  set(${var} ${effects} PARENT_SCOPE)
endfunction()

# vk_effect_names(NAME LOWER PREFIX): "QUADRIL" gives "quadril" (the file
# names quadril_effect.h/.cpp) and "Quadril" (QuadrilRun, QuadrilDefaults,
# QuadrilDialog, QuadrilName).
function(vk_effect_names name lower_var prefix_var)
  string(TOLOWER ${name} lower)
  string(SUBSTRING ${lower} 0 1 first)
  string(SUBSTRING ${lower} 1 -1 rest)
  string(TOUPPER ${first} first)
  set(${lower_var} ${lower} PARENT_SCOPE)
  set(${prefix_var} ${first}${rest} PARENT_SCOPE)
endfunction()
