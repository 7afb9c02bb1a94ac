# GoogleTest for a cross build: the target has no installed GoogleTest, so it
# is compiled from the Debian sources (package googletest) with the same
# compiler. Nothing is downloaded. Defines GTest::gtest and GTest::gtest_main
# as find_package(GTest) does on a native build.
set(VELMIRA_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree for cross builds")
if(NOT EXISTS ${VELMIRA_GTEST_SOURCE}/googletest/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${VELMIRA_GTEST_SOURCE} (install googletest)")
endif()

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${VELMIRA_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
