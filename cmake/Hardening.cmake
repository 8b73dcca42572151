# The distribution's hardening for every program and library: what dpkg-buildflags gives with
# all its hardening features on (fortified functions, a strong stack protector, read-only
# relocations bound at start, format checks), without its -g/-O and path-mapping flags, which
# stay the build type's. Where dpkg-buildflags is absent, the same set. Position-independent
# executables come from CMake.
set(hardening_fallback_compile -D_FORTIFY_SOURCE=2 -fstack-protector-strong -Wformat
                               -Werror=format-security)
set(hardening_fallback_link -Wl,-z,relro -Wl,-z,now)

find_program(QPLU_DPKG_BUILDFLAGS dpkg-buildflags)
set(hardening_compile "")
set(hardening_link "")
if(QPLU_DPKG_BUILDFLAGS)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                    ${QPLU_DPKG_BUILDFLAGS} --get ${kind}
            OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
        if(failed)
            continue()
        endif()
        separate_arguments(flags UNIX_COMMAND "${flags}")
        foreach(flag IN LISTS flags)
            if(flag MATCHES "^-Wl,-z,")
                list(APPEND hardening_link ${flag})
            elseif(flag MATCHES "^(-D_FORTIFY_SOURCE=|-fstack-protector|-fstack-clash-protection|-fcf-protection|-Wformat|-Werror=format-security)")
                list(APPEND hardening_compile ${flag})
            endif()
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES hardening_compile)
endif()
if(NOT hardening_compile)
    set(hardening_compile ${hardening_fallback_compile})
endif()
if(NOT hardening_link)
    set(hardening_link ${hardening_fallback_link})
endif()

# glibc's fortified functions need an optimising build, and say so with an error under -Werror.
string(TOUPPER "${CMAKE_BUILD_TYPE}" build_type)
if(NOT "${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${build_type}}" MATCHES "(^| )-O[1-3sz]?( |$)" OR
   "${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${build_type}}" MATCHES "(^| )-O0( |$)")
    list(FILTER hardening_compile EXCLUDE REGEX "^-D_FORTIFY_SOURCE=")
endif()

add_compile_options(${hardening_compile})
add_link_options(${hardening_link})
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
message(STATUS "Hardening: ${hardening_compile} ${hardening_link} PIE")
