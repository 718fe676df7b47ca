# One static library per layer, made of every source below its folder.
# DEPS are the libraries the layer may use; EXCLUDE drops sub-folders that are layers of their own.
function(vantrel_add_layer name)
  cmake_parse_arguments(L "" "DIR" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${L_DIR}/*.cpp ${L_DIR}/*.h ${L_DIR}/*.qrc)
  foreach(ex IN LISTS L_EXCLUDE)
    list(FILTER srcs EXCLUDE REGEX "${ex}")
  endforeach()
  if(NOT srcs)
    # A layer without code yet still carries its dependencies for the layers above.
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${L_DEPS})
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/generated)
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  target_link_libraries(${name} PUBLIC ${L_DEPS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/generated)
  vantrel_set_warnings(${name})
  vantrel_set_qt_defines(${name})
endfunction()

# One test executable per layer folder under tests/, registered with CTest. EXCLUDE drops
# sub-folders that are tested on their own; COMMON is the test main and helpers to link
# (vantrel_testcommon unless given).
function(vantrel_add_layer_tests layer)
  cmake_parse_arguments(T "" "DIR;COMMON" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${T_DIR}/*.cpp ${T_DIR}/*.h)
  foreach(ex IN LISTS T_EXCLUDE)
    list(FILTER srcs EXCLUDE REGEX "${ex}")
  endforeach()
  if(NOT srcs)
    return()
  endif()
  if(NOT T_COMMON)
    set(T_COMMON vantrel_testcommon)
  endif()
  set(exe ${layer}_tests)
  add_executable(${exe} ${srcs})
  target_link_libraries(${exe} PRIVATE ${T_DEPS} ${T_COMMON})
  vantrel_set_warnings(${exe})
  vantrel_set_qt_defines(${exe})
  gtest_discover_tests(${exe}
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VANTREL_SOURCE_DIR=${PROJECT_SOURCE_DIR};VANTREL_BINARY_DIR=${PROJECT_BINARY_DIR}"
    DISCOVERY_TIMEOUT 60)
endfunction()
