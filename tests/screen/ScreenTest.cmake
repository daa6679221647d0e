# luvora_screen_test(<test name> <target> SOURCES ... DEPS ... [TIMEOUT s] [ENVIRONMENT ...])
# A program driven on a real X server, run once a locale, each on a virtual
# screen of its own with a window manager (tools/on_screen.sh, through
# xvfb-run), under the label "screen"; the pictures of every window it met
# are left in shots-<locale>/ beside it. A missing tool or locale skips the
# run.
function(luvora_screen_test name target)
  cmake_parse_arguments(arg "" "TIMEOUT" "SOURCES;DEPS;ENVIRONMENT" ${ARGN})
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 300)
  endif()
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  add_executable(${target} ${arg_SOURCES} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/ScreenDriver.cpp)
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  target_link_libraries(${target} PRIVATE ${arg_DEPS} testing testsupport GTest::gtest_main Qt6::Widgets)
  foreach(locale ru_RU.UTF-8 C.UTF-8)
    add_test(NAME ${name}.${locale}
             COMMAND ${PROJECT_SOURCE_DIR}/tools/on_screen.sh -o ${CMAKE_CURRENT_BINARY_DIR}/shots-${locale}
                     -l ${locale} -- $<TARGET_FILE:${target}>)
    # xvfb-run -a picks a free display; two at once may pick the same one.
    set_tests_properties(${name}.${locale} PROPERTIES
      LABELS screen
      SKIP_RETURN_CODE 77
      TIMEOUT ${arg_TIMEOUT}
      RESOURCE_LOCK virtual_screen)
    if(arg_ENVIRONMENT)
      set_tests_properties(${name}.${locale} PROPERTIES ENVIRONMENT "${arg_ENVIRONMENT}")
    endif()
  endforeach()
endfunction()
