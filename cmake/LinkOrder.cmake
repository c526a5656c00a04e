# Start-up of the command line: the kernel maps the program's code from the page cache in
# blocks of 64 KiB as it is first run. A short command runs a few hundred functions spread
# over the whole program, so it touches nearly every block. In optimised builds each function
# gets its own section, and the command line is linked with lld, which places the functions
# that the shipped sample commands run (src/cli/hot-functions.txt, written by
# tools/hot-functions.sh) next to each other. A name the list holds that the program no
# longer has is skipped; a stale list costs speed, never correctness.
#
# Sanitizer builds keep their own linking, and without lld the default linker is used.

include(CheckLinkerFlag)

set(QUORVEL_HOT_FUNCTIONS ${CMAKE_SOURCE_DIR}/src/cli/hot-functions.txt)

set(QUORVEL_ORDER_FUNCTIONS OFF)
if(CMAKE_BUILD_TYPE STREQUAL "Release" AND NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
    check_linker_flag(CXX "-fuse-ld=lld" QUORVEL_HAVE_LLD)
    if(QUORVEL_HAVE_LLD)
        set(QUORVEL_ORDER_FUNCTIONS ON)
        add_compile_options(-ffunction-sections)
    else()
        message(STATUS "lld not found: the command line is linked without its function order")
    endif()
endif()

# Links `target` with its functions in the order of the list, when the build orders them.
function(quorvel_order_functions target)
    if(NOT QUORVEL_ORDER_FUNCTIONS)
        return()
    endif()
    # -z separate-code keeps the code apart from the read-only data, as the default linker
    # does.
    target_link_options(${target} PRIVATE -fuse-ld=lld -Wl,-z,separate-code
                        -Wl,--symbol-ordering-file=${QUORVEL_HOT_FUNCTIONS}
                        -Wl,--no-warn-symbol-ordering)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${QUORVEL_HOT_FUNCTIONS})
endfunction()
