# Test helpers shared by every area.
#
#   vantaro_add_test(NAME n SOURCES s... [LIBS l...] [WINDOWS_UI] [TIMEOUT sec])
#
# Native builds link Debian's GoogleTest; Windows builds compile GoogleTest's
# sources with MinGW and run the executables through Wine (the cross-compiling
# emulator). WINDOWS_UI marks tests that create windows: they share one X
# display and one window namespace, so they never run in parallel.

if(VANTARO_WINDOWS)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main gmock gmock_main)
    if(TARGET ${t})
      target_compile_options(${t} PRIVATE -w)
    endif()
  endforeach()
  set(VANTARO_GTEST_LIBS gmock gtest)

  set(VANTARO_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-exec.sh.in ${CMAKE_BINARY_DIR}/wine-exec.sh
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-exec.sh)
else()
  find_package(GTest REQUIRED)
  set(VANTARO_GTEST_LIBS GTest::gmock GTest::gtest)
endif()

add_custom_target(all_tests)

function(vantaro_add_test)
  cmake_parse_arguments(T "WINDOWS_UI;OWN_MAIN" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  if(T_OWN_MAIN)
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ${VANTARO_GTEST_LIBS})
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} vantaro_test_main ${VANTARO_GTEST_LIBS})
  endif()
  add_dependencies(all_tests ${T_NAME})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_WINDOWS_UI)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK desktop)
  endif()
endfunction()
