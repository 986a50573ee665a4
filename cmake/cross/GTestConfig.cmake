# GoogleTest for the cross build: the targets come from Debian's googletest
# sources, compiled with the cross compiler by the top-level CMakeLists.txt
# (add_subdirectory), since no Windows GoogleTest is installed to be found.
if(NOT TARGET GTest::gtest OR NOT TARGET GTest::gtest_main)
  set(GTest_FOUND FALSE)
  set(GTest_NOT_FOUND_MESSAGE "the cross-built googletest targets are missing")
  return()
endif()
set(GTest_FOUND TRUE)
