# Every C++ file git knows keeps the layout of .clang-format: run as a test,
# so that a file out of it fails the suite instead of spreading.
execute_process(COMMAND ${GIT} ls-files -- *.cpp *.h
                WORKING_DIRECTORY ${SOURCE_DIR}
                OUTPUT_VARIABLE listed
                RESULT_VARIABLE listedStatus)
if(NOT listedStatus EQUAL 0)
  message(FATAL_ERROR "git ls-files failed")
endif()
string(REPLACE "\n" ";" files "${listed}")
list(FILTER files EXCLUDE REGEX "^$")
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files}
                WORKING_DIRECTORY ${SOURCE_DIR}
                RESULT_VARIABLE formatStatus)
if(NOT formatStatus EQUAL 0)
  message(FATAL_ERROR "Files out of the .clang-format layout (above); run clang-format -i on them.")
endif()
