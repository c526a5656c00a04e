# Strict warnings for every target of the project; CI turns them into errors.
function(quorvel_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    # g++ 12 reports overlapping copies inside std::string concatenation at -O2 and above
    # that cannot happen (a known false positive of that release, fixed in g++ 13).
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
    if(QUORVEL_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
