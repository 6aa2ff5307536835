# Build settings shared by every target of the project.

find_program(MARLOX_CCACHE ccache)
if(MARLOX_CCACHE)
  set(CMAKE_C_COMPILER_LAUNCHER ${MARLOX_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${MARLOX_CCACHE})
endif()

add_compile_options(-Wall -Wextra -Wno-unused-parameter
  # Keep paths out of objects so that a fresh clone elsewhere hits the cache.
  -fdebug-prefix-map=${CMAKE_SOURCE_DIR}=.
  -fdebug-prefix-map=${CMAKE_BINARY_DIR}=build)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-Werror
    # GCC 12 reports these from inlined library code at -O2 and above where no
    # overflow exists (its known false positives); they stay warnings.
    -Wno-error=restrict -Wno-error=stringop-overflow -Wno-error=array-bounds -Wno-error=maybe-uninitialized)
endif()

if(MARLOX_FUZZ)
  # The harnesses are built with clang only (GCC has no libFuzzer); every
  # library is instrumented for coverage so that the fuzzer sees into it.
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "MARLOX_FUZZ needs clang: CC=clang CXX=clang++ cmake -DMARLOX_FUZZ=ON ...")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(MARLOX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# A library's calls of its own functions bind inside it when it is linked,
# instead of by a name looked up through every loaded library at start-up.
string(APPEND CMAKE_SHARED_LINKER_FLAGS " -Wl,-Bsymbolic-functions")

set(CMAKE_BUILD_RPATH_USE_ORIGIN ON)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# marlox_library(<folder> SOURCES ... [DEPENDS ...] [QT ...])
# One library per folder, named mx_<folder>; its include root is the source root,
# so that headers are included as "folder/File.h".
function(marlox_library folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;QT" ${ARGN})
  set(target mx_${folder})
  if(NOT ARG_SOURCES)
    # A subsystem whose code has not been written yet.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPENDS})
    return()
  endif()
  add_library(${target} ${ARG_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_DEPENDS})
  foreach(qt IN LISTS ARG_QT)
    target_link_libraries(${target} PUBLIC Qt6::${qt})
  endforeach()
  if(ARG_QT)
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
  endif()
endfunction()

# marlox_test(<folder> SOURCES ... DEPENDS ...): one GoogleTest program per folder.
function(marlox_test folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  set(target test_${folder})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  # The tests' environment travels as a launcher ("cmake -E env ..."): a
  # list of variables given as the ENVIRONMENT property is split apart by
  # test discovery, and only the first variable would reach the tests.
  set_property(TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR
    ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
    MARLOX_CONFIG_DIR=${CMAKE_BINARY_DIR}/test-config
    MARLOX_REFDATA=${PROJECT_SOURCE_DIR}/tests/refdata)
  # A hang fails its test at once instead of stalling the whole run.
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 60)
endfunction()

# marlox_widgets(<folder> SOURCES ... [DEPENDS ...]): the windows of a folder,
# kept in <folder>/widgets/ as library mx_<folder>_widgets, so that the
# folder's model library never links Qt Widgets.
function(marlox_widgets folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  set(target mx_${folder}_widgets)
  add_library(${target} ${ARG_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC mx_${folder} ${ARG_DEPENDS}
    Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Svg Qt6::PrintSupport)
  set_target_properties(${target} PROPERTIES AUTOMOC ON AUTORCC ON)
endfunction()
