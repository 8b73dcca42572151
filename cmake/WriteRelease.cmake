# Run at every build: writes OUTPUT with the project's VERSION and what `git describe` says of
# SOURCE_DIR when it is a checkout. The file is rewritten only when its text changes, so an
# unchanged checkout relinks nothing.
set(revision "")
if(GIT_EXECUTABLE AND EXISTS "${SOURCE_DIR}/.git")
    execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" describe --always --dirty
                    OUTPUT_VARIABLE revision OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_QUIET RESULT_VARIABLE failed)
    if(failed)
        set(revision "")
    endif()
endif()
set(text "${VERSION}")
if(revision)
    string(APPEND text " (git ${revision})")
endif()
set(source "// Written by cmake/WriteRelease.cmake at build time.
#include \"Release.h\"

std::string ReleaseText() {
    return \"${text}\";
}
")
set(old "")
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL source)
    file(WRITE "${OUTPUT}" "${source}")
endif()
