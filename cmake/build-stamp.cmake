# Writes OUTPUT, the header with the build time and date that the settings
# page's information box shows, in the compiler's __DATE__ ("Mmm dd yyyy",
# the day padded with a blank) and __TIME__ ("hh:mm:ss") forms, in UTC.
#
# The time is SOURCE_DATE_EPOCH's when it is set, otherwise the date of the
# commit the sources are at: two builds of one commit then make the same DLL.
# Outside a git checkout it is the compiler's own __DATE__ and __TIME__.
# The file is rewritten only when its text changes, so that a build of the
# same commit compiles nothing again.
#
#   cmake -DSOURCE_DIR=<repo> -DOUTPUT=<header> -P cmake/build-stamp.cmake

if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE git_result ERROR_QUIET)
    if(git_result EQUAL 0 AND commit_time MATCHES "^[0-9]+$")
      set(ENV{SOURCE_DATE_EPOCH} "${commit_time}")
    endif()
  endif()
endif()

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  # string(TIMESTAMP) takes its time from SOURCE_DATE_EPOCH.
  string(TIMESTAMP month "%b" UTC)
  string(TIMESTAMP day "%d" UTC)
  string(TIMESTAMP year "%Y" UTC)
  string(TIMESTAMP time "%H:%M:%S" UTC)
  string(REGEX REPLACE "^0" " " day "${day}")
  set(date "\"${month} ${day} ${year}\"")
  set(time "\"${time}\"")
else()
  set(date "__DATE__")
  set(time "__TIME__")
endif()

file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT "// Written by cmake/build-stamp.cmake at every build.
#ifndef ZAVERNOK_BUILD_STAMP_H
#define ZAVERNOK_BUILD_STAMP_H

#define ZAVERNOK_BUILD_DATE ${date}
#define ZAVERNOK_BUILD_TIME ${time}

#endif
" @ONLY)
