# Build helpers shared by every component.
#
#   VEMLI_WINDOWS      ON in the MinGW builds (win64, win32)
#   VEMLI_RUN_TESTS    ON where the test programs can run here (host, win64)
#   VEMLI_FUZZ         ON in the fuzz preset: only fuzz targets are built
#   vemli_warnings(target)
#   vemli_add_gtest(name SOURCES ... [LIBS ...] [GUI] [ENV VAR=VALUE ...])
#   vemli_add_fuzzer(name SOURCES ... [LIBS ...])

if(VEMLI_FUZZ)
  set(VEMLI_RUN_TESTS OFF)
elseif(NOT CMAKE_CROSSCOMPILING OR CMAKE_CROSSCOMPILING_EMULATOR)
  set(VEMLI_RUN_TESTS ON)
else()
  set(VEMLI_RUN_TESTS OFF)
endif()

if(VEMLI_SANITIZE AND NOT VEMLI_WINDOWS)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(VEMLI_WINDOWS)
  # Wide API everywhere in window code; GBK bytes are converted explicitly.
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()

function(vemli_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
endfunction()

# GoogleTest from Debian's source package, compiled by whichever toolchain is
# in use; only the first caller pays for it.
macro(vemli_need_gtest)
  if(NOT TARGET gtest)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    if(VEMLI_WINDOWS)
      # gtest's own sources trip -Werror-free warnings only; keep them quiet.
      target_compile_options(gtest PRIVATE -w)
      target_compile_options(gtest_main PRIVATE -w)
    endif()
  endif()
  include(GoogleTest)
endmacro()

function(vemli_add_gtest name)
  cmake_parse_arguments(arg "GUI" "" "SOURCES;LIBS;ENV" ${ARGN})
  if(VEMLI_FUZZ)
    return()
  endif()
  vemli_need_gtest()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} gtest gtest_main)
  vemli_warnings(${name})
  if(VEMLI_WINDOWS AND arg_GUI)
    # Needs a window station; still a console program so gtest's output shows.
    target_link_libraries(${name} PRIVATE user32 gdi32 comctl32)
  endif()
  if(VEMLI_RUN_TESTS)
    set(props LABELS ${name})
    if(VEMLI_WINDOWS AND arg_GUI)
      # Windows on the test desktop are shared by every process: a GUI test
      # never runs beside the updater's end-to-end runs, which ask and message
      # the desktop's top-level windows.
      list(APPEND props RESOURCE_LOCK vemli_client_windows)
    endif()
    if(arg_ENV)
      # The variables go in front of the program through `cmake -E env`: a
      # test property would take only the first of several.
      set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR
                   ${CMAKE_COMMAND} -E env ${arg_ENV} ${CMAKE_CROSSCOMPILING_EMULATOR})
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                         PROPERTIES ${props})
  endif()
endfunction()

function(vemli_add_fuzzer name)
  cmake_parse_arguments(arg "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT VEMLI_FUZZ)
    return()
  endif()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
endfunction()
