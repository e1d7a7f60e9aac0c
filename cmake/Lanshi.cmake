# Build helpers shared by every subsystem and test folder.

set(LANSHI_WARNINGS -Wall -Wextra)
# CI builds with warnings as errors (.ci/run turns it on): the code has none, and keeps none.
option(LANSHI_WERROR "Treat warnings as errors" OFF)
if(LANSHI_WERROR)
  list(APPEND LANSHI_WARNINGS -Werror)
endif()

# cmake --build build --target format: every source and test file through clang-format (.clang-format).
find_program(LANSHI_CLANG_FORMAT clang-format)
if(LANSHI_CLANG_FORMAT)
  file(GLOB_RECURSE LANSHI_FORMATTED ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.h
       ${PROJECT_SOURCE_DIR}/tests/*.cpp ${PROJECT_SOURCE_DIR}/tests/*.h)
  list(FILTER LANSHI_FORMATTED EXCLUDE REGEX "fields\\.h$") # written by tools/formfields.py
  add_custom_target(format COMMAND ${LANSHI_CLANG_FORMAT} -i ${LANSHI_FORMATTED} VERBATIM)
endif()

# lanshi_library(<name> DEPS <targets...> [EXCLUDE <files...>])
# Builds the static library lanshi_<name> from every source, header and .ui file of the
# calling folder. Headers are included as "<subsystem>/<file>.h" from src/.
function(lanshi_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.ui)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${ex})
  endforeach()
  add_library(lanshi_${name} STATIC ${sources})
  # The forms' generated headers (ui_<form>.h) too: a window's named controls are bound in its header.
  target_include_directories(lanshi_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src
                             ${CMAKE_CURRENT_BINARY_DIR}/lanshi_${name}_autogen/include)
  target_compile_options(lanshi_${name} PRIVATE ${LANSHI_WARNINGS})
  target_link_libraries(lanshi_${name} PUBLIC ${ARG_DEPS})
  set_target_properties(lanshi_${name} PROPERTIES AUTOUIC_SEARCH_PATHS ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()

# lanshi_tests(LIBS <targets...>)
# Every tst_*.cpp of the calling folder becomes one Qt Test program and every test_*.cpp one
# GoogleTest program, each registered with CTest under <folder>.<file> and run headless.
function(lanshi_tests)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  file(GLOB qtests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  file(GLOB gtests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/test_*.cpp)
  foreach(src IN LISTS qtests gtests)
    get_filename_component(base ${src} NAME_WE)
    set(target ${folder}_${base})
    add_executable(${target} ${src})
    target_compile_options(${target} PRIVATE ${LANSHI_WARNINGS})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} lanshi_testsupport)
    if(src IN_LIST gtests)
      target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main)
    else()
      target_link_libraries(${target} PRIVATE Qt6::Test)
    endif()
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${folder}.${base} COMMAND ${target})
    set_tests_properties(${folder}.${base} PROPERTIES
      # The 账套 list and the machine's calibration of each test program: never the user's own.
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LANG=C.UTF-8;LANSHI_MACHINE_DIR=${CMAKE_BINARY_DIR}/tests/machine/${folder}.${base}"
      TIMEOUT 300)
  endforeach()
endfunction()
