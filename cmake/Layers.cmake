# Each top-level folder is one layer (scripts/check_layers.py names their
# order) and builds its own static library, which links only the library of
# the layer below it. A layer may use what lies below it, never above.
#
#   vantaro_layer_link_check(<layer> <library>...)
#
# Links every object of the layer's libraries into a throwaway DLL that
# resolves nothing but from those libraries and what they link. An ordinary
# link of static libraries can let a call upward through when the object it
# needs happens to be pulled in already; here the call has nowhere to resolve
# and the build stops with "undefined reference". The Windows build holds
# every layer, so the check runs there.

function(vantaro_layer_link_check layer)
  if(NOT VANTARO_WINDOWS)
    return()
  endif()
  set(empty ${CMAKE_BINARY_DIR}/layer_link_check/empty.cpp)
  if(NOT EXISTS ${empty})
    file(WRITE ${empty} "// Layer link checks take all their code from the layer's libraries.\n")
  endif()
  set(check layer_link_check_${layer})
  add_library(${check} SHARED ${empty})
  # The archives whole first, then as ordinary libraries, which brings what
  # they link (CMake's WHOLE_ARCHIVE feature refuses a library that also
  # comes in through another's links, as the layer's own libraries do).
  set(archives)
  foreach(library ${ARGN})
    list(APPEND archives $<TARGET_FILE:${library}>)
  endforeach()
  target_link_libraries(${check} PRIVATE -Wl,--whole-archive ${archives} -Wl,--no-whole-archive ${ARGN})
  # Nothing is exported or kept: the DLL only proves the layer links alone.
  target_link_options(${check} PRIVATE -Wl,--exclude-all-symbols -s)
  set_target_properties(${check} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layer_link_check
                                            ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layer_link_check)
endfunction()
