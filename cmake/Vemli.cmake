# Build helpers shared by every component.
#
#   VEMLI_WINDOWS      ON in the MinGW builds (win64, win32)
#   VEMLI_RUN_TESTS    ON where ctest knows how to run the test programs: the
#                      host, and both MinGW builds through their Wine wrapper
#                      (whether the 32-bit one can run is scripts/test.sh's
#                      question, asked when the suite is run)
#   VEMLI_FUZZ         ON in the fuzz preset: only fuzz targets are built
#   vemli_warnings(target)
#   vemli_add_gtest(name SOURCES ... [LIBS ...] [GUI] [ENV VAR=VALUE ...]
#                   [WRAPPER command ...] [LOCK name] [SERIAL] [TIMEOUT s]
#                   [DEPENDS target ...])
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
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # Up to 4 GiB of addresses under 64-bit Windows instead of 2: nothing
    # here takes an address for a signed number, and a big log mapped by
    # the viewer or the exporter needs the room.
    add_link_options(-Wl,--large-address-aware)
  endif()
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

# Every test program is declared here, whatever it tests:
#   GUI      links the window libraries and takes the desktop lock (below)
#   ENV      variables set in front of the program (several allowed)
#   WRAPPER  a command the program runs under, in front of the Wine wrapper
#            (the end-to-end tests run beside their own update server)
#   LOCK     one resource lock (a GUI test takes vemli_client_windows unless
#            it names another); SERIAL: nothing else runs meanwhile
#   TIMEOUT  per test, in seconds; DEPENDS: programs it starts, built first
# Every test program links test_support (tests/support): scratch folders of
# its own and the helpers the Windows tests share.
function(vemli_add_gtest name)
  cmake_parse_arguments(arg "GUI;SERIAL" "LOCK;TIMEOUT" "SOURCES;LIBS;ENV;WRAPPER;DEPENDS" ${ARGN})
  if(VEMLI_FUZZ)
    return()
  endif()
  vemli_need_gtest()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} test_support gtest gtest_main)
  vemli_warnings(${name})
  if(VEMLI_WINDOWS AND arg_GUI)
    # Needs a window station; still a console program so gtest's output shows.
    target_link_libraries(${name} PRIVATE user32 gdi32 comctl32)
  endif()
  if(arg_DEPENDS)
    add_dependencies(${name} ${arg_DEPENDS})
  endif()
  if(NOT VEMLI_RUN_TESTS)
    return()
  endif()
  set(props LABELS ${name})
  set(lock ${arg_LOCK})
  if(NOT lock AND VEMLI_WINDOWS AND arg_GUI)
    # Windows on the test desktop are shared by every process: a GUI test
    # never runs beside the updater's end-to-end runs, which ask and message
    # the desktop's top-level windows.
    set(lock vemli_client_windows)
  endif()
  if(lock)
    list(APPEND props RESOURCE_LOCK ${lock})
  endif()
  if(arg_SERIAL)
    list(APPEND props RUN_SERIAL TRUE)
  endif()
  if(arg_TIMEOUT)
    list(APPEND props TIMEOUT ${arg_TIMEOUT})
  endif()
  if(arg_ENV OR arg_WRAPPER)
    # The variables go in front of the program through `cmake -E env`: a
    # test property would take only the first of several. The emulator
    # property serves discovery and every test alike.
    set(emulator ${arg_WRAPPER} ${CMAKE_CROSSCOMPILING_EMULATOR})
    if(arg_ENV)
      set(emulator ${CMAKE_COMMAND} -E env ${arg_ENV} ${emulator})
    endif()
    set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR ${emulator})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES ${props})
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
