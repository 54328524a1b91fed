# One static library per subsystem: every .cpp/.h/.qrc below the folder is part of it.
function(kve_add_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE _srcs CONFIGURE_DEPENDS
       ${dir}/*.cpp ${dir}/*.h ${dir}/*.qrc)
  set(_cpps ${_srcs})
  list(FILTER _cpps INCLUDE REGEX "\\.(cpp|qrc)$")
  if(_cpps)
    add_library(${name} STATIC ${_srcs})
    target_include_directories(${name} PUBLIC ${dir})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    target_compile_options(${name} PRIVATE -Wall -Wextra)
  else()
    # A subsystem whose code has not been written yet contributes only its headers.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${dir})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

set(KVE_NETNS_SETUP "ip link set lo up; ip link set lo multicast on; ip route add 224.0.0.0/4 dev lo")

# Every tst_*.cpp in a test folder becomes one Qt Test executable and one CTest test.
function(kve_add_tests dir)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB _tests CONFIGURE_DEPENDS ${dir}/tst_*.cpp)
  file(GLOB _support CONFIGURE_DEPENDS ${dir}/support/*.cpp ${dir}/support/*.h)
  foreach(_t ${_tests})
    get_filename_component(_n ${_t} NAME_WE)
    add_executable(${_n} ${_t} ${_support})
    target_include_directories(${_n} PRIVATE ${dir} ${dir}/support)
    target_link_libraries(${_n} PRIVATE ${ARG_LIBS} Qt5::Test)
    # Every test runs in a private network namespace whose multicast stays on its own loopback,
    # so nothing a test sends can reach a real network.
    add_test(NAME ${_n} COMMAND unshare --net sh -c "${KVE_NETNS_SETUP}; exec \"$0\" \"$@\"" $<TARGET_FILE:${_n}>)
    set_tests_properties(${_n} PROPERTIES TIMEOUT 300
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endforeach()
endfunction()
