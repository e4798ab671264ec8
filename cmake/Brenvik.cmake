# Shared build rules: warnings, sanitizers and the one-library-per-folder convention.

set(BRENVIK_WARNINGS
    -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wsuggest-override
    -Wcast-align -Wformat=2 -Wnull-dereference -Wimplicit-fallthrough -Wmissing-declarations)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    list(REMOVE_ITEM BRENVIK_WARNINGS -Wsuggest-override)
    list(APPEND BRENVIK_WARNINGS -Winconsistent-missing-override -Wno-four-char-constants)
else()
    list(APPEND BRENVIK_WARNINGS -Wno-multichar)
    # In a unity build each source is included into a batch file, where GCC
    # takes a test fixture in an anonymous namespace for a header's type.
    if(CMAKE_UNITY_BUILD)
        list(APPEND BRENVIK_WARNINGS -Wno-subobject-linkage)
    endif()
endif()
if(BRENVIK_WERROR)
    list(APPEND BRENVIK_WARNINGS -Werror)
endif()

if(BRENVIK_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
elseif(BRENVIK_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT BRENVIK_SANITIZE STREQUAL "")
    message(FATAL_ERROR "BRENVIK_SANITIZE must be empty, 'address' or 'thread'")
endif()

# libFuzzer needs coverage instrumentation in the libraries too, not only in
# the fuzz targets.
if(BRENVIK_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# brenvik_library(<target> [DEPS <targets>...] [PRIVATE_DEPS ...] [TEST_DEPS ...]
#                 [LABELS <ctest labels>...] [THREAD_TESTS <files>...]
#                 [UNITY_APART <files>...])
#
# Builds every .cpp of the current folder, except tests (*Test.cpp), benchmarks
# (*Bench.cpp), fuzz targets (*Fuzz.cpp) and a program's main (*Main.cpp, see
# brenvik_program), into a static library whose folder is on
# its users' include path, so that kit headers are included as on BeOS (<Message.h>).
# The folder's *Test.cpp files become one test program, registered with ctest under
# the target's name; those named in THREAD_TESTS become a second one,
# <target>_thread_tests, labelled "tsan", so that each test program runs in the
# default build and under one sanitizer at most. Each *Bench.cpp becomes a benchmark program (built by `make bench`).
# Headers in the folder's private/ subfolder are seen only by the library itself and by
# its own tests, benchmarks and fuzz targets. A testing/ subfolder holds helpers for
# tests (fakes, fixtures, input drivers): it becomes the target <target>_testing, which
# the folder's own tests use and other folders' tests name in their TEST_DEPS; no
# library or program may link it.
function(brenvik_library target)
    cmake_parse_arguments(A "" "" "DEPS;PRIVATE_DEPS;TEST_DEPS;LABELS;THREAD_TESTS;UNITY_APART"
        ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    # In a unity build, a program that links one source of a batch gets all of
    # them, with every library they call. The sources named in UNITY_APART
    # reach, themselves or through each other, a library that the statically
    # linked programs must not need (libzip, which only the authoring side
    # uses): they stay objects of their own.
    foreach(name ${A_UNITY_APART})
        set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/${name}
            PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
    endforeach()
    list(FILTER sources EXCLUDE REGEX "(Test|Bench|Fuzz|Main)\\.cpp$")
    # A sanitizer build compiles only what its labelled tests need
    # (brenvik_build_only_sanitizer_tests).
    set(exclude "")
    if(BRENVIK_SANITIZE)
        set(exclude EXCLUDE_FROM_ALL)
    endif()
    set(private "")
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/private)
        set(private ${CMAKE_CURRENT_SOURCE_DIR}/private)
    endif()
    if(sources)
        add_library(${target} STATIC ${exclude} ${sources})
        target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} PRIVATE ${private})
        target_compile_options(${target} PRIVATE ${BRENVIK_WARNINGS})
        target_link_libraries(${target} PUBLIC ${A_DEPS} PRIVATE ${A_PRIVATE_DEPS})
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
        target_link_libraries(${target} INTERFACE ${A_DEPS})
    endif()

    set(testing "")
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/testing)
        set(testing ${target}_testing)
        file(GLOB testing_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/testing/*.cpp)
        if(testing_sources)
            add_library(${testing} STATIC EXCLUDE_FROM_ALL ${testing_sources})
            target_include_directories(${testing}
                PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/testing PRIVATE ${private})
            target_compile_options(${testing} PRIVATE ${BRENVIK_WARNINGS})
            target_link_libraries(${testing} PUBLIC ${target} ${A_TEST_DEPS} GTest::gtest)
        else()
            add_library(${testing} INTERFACE)
            target_include_directories(${testing} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR}/testing)
            target_link_libraries(${testing} INTERFACE ${target} ${A_TEST_DEPS} GTest::gtest)
        endif()
    endif()

    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*Test.cpp)
    set(thread_tests "")
    foreach(name ${A_THREAD_TESTS})
        set(file ${CMAKE_CURRENT_SOURCE_DIR}/${name})
        if(NOT file IN_LIST tests)
            message(FATAL_ERROR "${target}: THREAD_TESTS names ${name}, not a test of the folder")
        endif()
        list(REMOVE_ITEM tests ${file})
        list(APPEND thread_tests ${file})
    endforeach()
    if("asan" IN_LIST A_LABELS AND "tsan" IN_LIST A_LABELS)
        message(FATAL_ERROR "${target}: a test program runs under one sanitizer at most; "
            "name the tests for ThreadSanitizer in THREAD_TESTS")
    endif()
    set(programs "")
    if(tests)
        brenvik_test(${target}_tests SOURCES ${tests} DEPS ${target} ${testing} ${A_TEST_DEPS}
            LABELS ${A_LABELS})
        list(APPEND programs ${target}_tests)
    endif()
    if(thread_tests)
        brenvik_test(${target}_thread_tests SOURCES ${thread_tests}
            DEPS ${target} ${testing} ${A_TEST_DEPS} LABELS tsan)
        list(APPEND programs ${target}_thread_tests)
    endif()
    foreach(program ${programs})
        if(TARGET ${program})
            target_include_directories(${program} PRIVATE ${private})
        endif()
    endforeach()

    if(BRENVIK_BENCH)
        file(GLOB benches CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*Bench.cpp)
        foreach(bench ${benches})
            get_filename_component(name ${bench} NAME_WE)
            brenvik_bench(${name} SOURCES ${bench} DEPS ${target} ${testing} ${A_TEST_DEPS})
            target_include_directories(bench_${name} PRIVATE ${private})
        endforeach()
    endif()

    if(BRENVIK_FUZZ)
        file(GLOB fuzzers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*Fuzz.cpp)
        foreach(fuzz ${fuzzers})
            get_filename_component(name ${fuzz} NAME_WE)
            add_executable(fuzz_${name} ${fuzz})
            target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
            target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
            target_include_directories(fuzz_${name} PRIVATE ${private})
            target_link_libraries(fuzz_${name} PRIVATE ${target} ${testing} ${A_TEST_DEPS})
            set_target_properties(fuzz_${name} PROPERTIES
                RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
            add_dependencies(all_fuzzers fuzz_${name})
        endforeach()
    endif()
endfunction()

# The C library functions whose calls a STATIC program binds to
# brenvik_glibc_compat instead (platform/base/static/GlibcCompat.cpp).
set(BRENVIK_GLIBC_WRAPS -Wl,--wrap=hypot -Wl,--wrap=hypotf -Wl,--wrap=arc4random
    -Wl,--wrap=arc4random_buf -Wl,--wrap=_dl_find_object)

# brenvik_static_archives(<imported target> <archive>...)
#
# With BRENVIK_STATIC, makes an imported library target (from pkg-config or
# a find module) link the static archives named (libcairo.a, ...) instead
# of the shared library, for every program and test of the build, so that
# one copy of each library is in a program. The archives are listed with
# what they need themselves, in link order.
function(brenvik_static_archives target)
    if(NOT BRENVIK_STATIC)
        return()
    endif()
    set(paths "")
    foreach(archive ${ARGN})
        string(MAKE_C_IDENTIFIER "BRENVIK_ARCHIVE_${archive}" variable)
        find_library(${variable} NAMES ${archive})
        if(NOT ${variable})
            message(FATAL_ERROR "BRENVIK_STATIC: ${archive} is missing (install the -dev package "
                "that holds it, or configure with -DBRENVIK_STATIC=OFF)")
        endif()
        list(APPEND paths ${${variable}})
    endforeach()
    get_target_property(imported ${target} IMPORTED)
    get_target_property(type ${target} TYPE)
    if(imported AND NOT type STREQUAL "INTERFACE_LIBRARY")
        list(POP_FRONT paths first)
        set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${first}
            INTERFACE_LINK_LIBRARIES "${paths};Threads::Threads")
    else()
        set_target_properties(${target} PROPERTIES
            INTERFACE_LINK_LIBRARIES "${paths};m;Threads::Threads")
    endif()
endfunction()

# brenvik_program(<target> [SOURCES <files>...] [DEPS <targets>...] [STRIPPED] [STATIC])
#
# A program of this build, in bin/: its main (by default the folder's *Main.cpp)
# linked with DEPS, usually the library of the same folder that holds everything
# else, so that tests and other programs can use that code in-process. STRIPPED
# leaves out the symbols, for the programs that every installer carries.
# STATIC (with BRENVIK_STATIC) links the C++ runtime and every library but
# the C library's into the program, and binds the C library's symbols at
# versions no newer than glibc 2.34 (platform/base/static): the program
# runs on any Linux system with that glibc, whatever else is installed.
function(brenvik_program target)
    cmake_parse_arguments(A "STRIPPED;STATIC" "" "SOURCES;DEPS" ${ARGN})
    if(NOT A_SOURCES)
        file(GLOB A_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*Main.cpp)
    endif()
    set(exclude "")
    if(BRENVIK_SANITIZE)
        set(exclude EXCLUDE_FROM_ALL)
    endif()
    add_executable(${target} ${exclude} ${A_SOURCES})
    target_compile_options(${target} PRIVATE ${BRENVIK_WARNINGS})
    target_link_libraries(${target} PRIVATE ${A_DEPS})
    if(A_STRIPPED)
        target_link_options(${target} PRIVATE -s)
    endif()
    if(A_STATIC AND BRENVIK_STATIC)
        # --as-needed drops a shared library named on the link line whose
        # code the program does not use (the zip writer's libzip, which only
        # the authoring tool calls); the ldd test catches one it does use.
        target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc
            -Wl,--as-needed -Wl,--gc-sections ${BRENVIK_GLIBC_WRAPS})
        target_link_libraries(${target} PRIVATE brenvik_glibc_compat)
    endif()
endfunction()

# brenvik_bench(<name> [SOURCES <files>...] DEPS <targets>... [PROGRAMS <targets>...])
#
# A benchmark program bench_<name> in bench/ (built only by `make bench`), by
# default from the folder's <name>.cpp. PROGRAMS are programs of this build
# that the benchmark runs, so they are built first; it finds them through
# BRENVIK_BINARY_DIR.
function(brenvik_bench name)
    cmake_parse_arguments(A "" "" "SOURCES;DEPS;PROGRAMS" ${ARGN})
    if(NOT BRENVIK_BENCH)
        return()
    endif()
    if(NOT A_SOURCES)
        set(A_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${name}.cpp)
    endif()
    add_executable(bench_${name} ${A_SOURCES})
    target_compile_options(bench_${name} PRIVATE ${BRENVIK_WARNINGS})
    target_link_libraries(bench_${name} PRIVATE ${A_DEPS} benchmark::benchmark
        brenvik_bench_main)
    target_compile_definitions(bench_${name} PRIVATE BRENVIK_BINARY_DIR="${CMAKE_BINARY_DIR}")
    set_target_properties(bench_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
    if(A_PROGRAMS)
        add_dependencies(bench_${name} ${A_PROGRAMS})
    endif()
endfunction()

# brenvik_test_compile_settings(<target>)
#
# How test code is compiled: with the warnings of all code, the two folders a
# test finds its data and programs in, and, in an optimised build, without
# optimisation (the code under test keeps it; the tests' own code gains
# nothing from it but minutes of compiling) and with line tables only. Every
# test program compiles this way, so that all share one precompiled header
# (brenvik_test_pch, tests/support) that must see the same flags.
function(brenvik_test_compile_settings target)
    target_compile_options(${target} PRIVATE ${BRENVIK_WARNINGS}
        $<$<CONFIG:RelWithDebInfo,Release>:-O0 -g1>)
    # _REENTRANT comes with SDL's flags to the tests that link it; all tests
    # define it so that they can share the header.
    target_compile_definitions(${target} PRIVATE
        BRENVIK_TESTDATA="${CMAKE_SOURCE_DIR}/testdata"
        BRENVIK_BINARY_DIR="${CMAKE_BINARY_DIR}" _REENTRANT)
endfunction()

# brenvik_test(<target> SOURCES ... DEPS ... [LABELS ...])
#
# A GoogleTest program run by ctest. Its main() (tests/support) puts HOME, XDG_*,
# BRENVIK_ROOT and BRENVIK_ACTIONS_LOG into a fresh temporary folder before any test
# runs, so no test can touch the real system.
function(brenvik_test target)
    cmake_parse_arguments(A "" "" "SOURCES;DEPS;LABELS" ${ARGN})
    # Under a sanitizer preset only the tests labelled for it run: "asan" for
    # parsers and other code that reads untrusted bytes, "tsan" for loopers,
    # messengers and worker threads. The ThreadSanitizer build does not even
    # compile the others.
    if(BRENVIK_SANITIZE STREQUAL "thread" AND NOT "tsan" IN_LIST A_LABELS)
        return()
    endif()
    if(BRENVIK_SANITIZE STREQUAL "address" AND NOT "asan" IN_LIST A_LABELS)
        return()
    endif()
    if(BRENVIK_SANITIZE)
        set_property(GLOBAL APPEND PROPERTY BRENVIK_SANITIZER_TESTS ${target})
    endif()
    add_executable(${target} ${A_SOURCES})
    brenvik_test_compile_settings(${target})
    target_precompile_headers(${target} REUSE_FROM brenvik_test_pch)
    target_link_libraries(${target} PRIVATE ${A_DEPS} brenvik_test_main GTest::gtest)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    # A long test program runs as BRENVIK_SHARDS_<target> ctest entries
    # (set by its folder), each taking its share of the tests (GoogleTest's
    # sharding), so that ctest -j spreads it over the cores.
    set(names ${target})
    if(BRENVIK_SHARDS_${target} GREATER 1)
        set(names "")
        math(EXPR last "${BRENVIK_SHARDS_${target}} - 1")
        foreach(index RANGE ${last})
            add_test(NAME ${target}_${index} COMMAND ${target})
            set_tests_properties(${target}_${index} PROPERTIES ENVIRONMENT
                "GTEST_TOTAL_SHARDS=${BRENVIK_SHARDS_${target}};GTEST_SHARD_INDEX=${index}")
            list(APPEND names ${target}_${index})
        endforeach()
    else()
        add_test(NAME ${target} COMMAND ${target})
    endif()
    foreach(name ${names})
        if(A_LABELS)
            set_tests_properties(${name} PROPERTIES LABELS "${A_LABELS}")
        endif()
        set_tests_properties(${name} PROPERTIES TIMEOUT 600)
    endforeach()
endfunction()

# brenvik_build_only_sanitizer_tests()
#
# Under a sanitizer preset the build makes only the tests that run there and
# what they need (the libraries they link, the programs they run): every
# other target of the tree leaves the default build. Called once, after every
# folder has been added.
function(brenvik_build_only_sanitizer_tests)
    if(NOT BRENVIK_SANITIZE)
        return()
    endif()
    get_property(tests GLOBAL PROPERTY BRENVIK_SANITIZER_TESTS)
    set(folders ${CMAKE_SOURCE_DIR})
    while(folders)
        list(POP_FRONT folders folder)
        get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
        foreach(target ${targets})
            get_target_property(type ${target} TYPE)
            if(NOT type STREQUAL "INTERFACE_LIBRARY" AND NOT target IN_LIST tests)
                set_target_properties(${target} PROPERTIES EXCLUDE_FROM_ALL ON)
            endif()
        endforeach()
        get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
        list(APPEND folders ${subfolders})
    endwhile()
endfunction()

# brenvik_check_layers()
#
# The layers, bottom up; a library or program may link only what is in its own
# layer or below it. A folder's layer:
set(BRENVIK_LAYERS
    "base:platform/base"
    "kernel and support:platform/kernel platform/support"
    "app kit:platform/app"
    "storage and resources:platform/storage platform/resources"
    "archive, process, render and display:platform/archive platform/process platform/render platform/display"
    "interface, media and translation:platform/interface platform/media platform/translation"
    "lib:lib"
    "engine:engine"
    "installer views:views"
    "installer and de-installer:app kolvast"
    "tools:tools")

# The layer (index and name) of a target, by the folder it is made in; -1 for
# targets of no layer (the test support, other projects' libraries).
function(brenvik_layer_of target index_var name_var)
    set(${index_var} -1 PARENT_SCOPE)
    if(NOT TARGET ${target})
        return()
    endif()
    get_target_property(imported ${target} IMPORTED)
    if(imported)
        return()
    endif()
    get_target_property(folder ${target} SOURCE_DIR)
    file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${folder})
    set(index 0)
    foreach(layer ${BRENVIK_LAYERS})
        string(REPLACE ":" ";" parts "${layer}")
        list(GET parts 0 name)
        list(GET parts 1 prefixes)
        string(REPLACE " " ";" prefixes "${prefixes}")
        foreach(prefix ${prefixes})
            if(folder STREQUAL prefix OR folder MATCHES "^${prefix}/")
                set(${index_var} ${index} PARENT_SCOPE)
                set(${name_var} "${name}" PARENT_SCOPE)
                return()
            endif()
        endforeach()
        math(EXPR index "${index} + 1")
    endforeach()
endfunction()

# Fails the configuration when a library or program links a target of a layer
# above its own, naming both. Tests, test helpers, benchmarks and fuzz targets
# may use any layer. BRENVIK_UPWARD_LINK_PROBE ("<target>:<dependency>") adds
# one link to the check only, so that a test can prove that it is caught.
function(brenvik_check_layers)
    set(folders ${CMAKE_SOURCE_DIR})
    set(targets "")
    while(folders)
        list(POP_FRONT folders folder)
        get_property(found DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
        list(APPEND targets ${found})
        get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
        list(APPEND folders ${subfolders})
    endwhile()
    foreach(target ${targets})
        if(target MATCHES "(_tests|_testing)$" OR target MATCHES "^(bench|fuzz)_")
            continue()
        endif()
        brenvik_layer_of(${target} layer layer_name)
        if(layer LESS 0)
            continue()
        endif()
        get_target_property(type ${target} TYPE)
        set(deps "")
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            get_target_property(deps ${target} LINK_LIBRARIES)
        endif()
        get_target_property(interface_deps ${target} INTERFACE_LINK_LIBRARIES)
        foreach(list deps interface_deps)
            if(NOT ${list})
                set(${list} "")
            endif()
        endforeach()
        list(APPEND deps ${interface_deps})
        if(BRENVIK_UPWARD_LINK_PROBE MATCHES "^${target}:(.+)$")
            list(APPEND deps ${CMAKE_MATCH_1})
        endif()
        foreach(dep ${deps})
            string(REGEX REPLACE "^\\$<LINK_ONLY:(.+)>$" "\\1" dep "${dep}")
            brenvik_layer_of(${dep} dep_layer dep_layer_name)
            if(dep_layer GREATER layer)
                message(FATAL_ERROR "Layering: ${target} (layer \"${layer_name}\") links "
                    "${dep} (layer \"${dep_layer_name}\"), which is above it. A library may "
                    "use only its own layer and the ones below (cmake/Brenvik.cmake).")
            endif()
        endforeach()
    endforeach()
endfunction()

# brenvik_hidden_header(<target> <visible header> <hidden header>)
#
# A test that <hidden header> (in a private/ or testing/ folder, or above the
# target's layer) is out of reach of <target>: a file that includes it, compiled
# with the target's include path, must stop at that include. <visible header>,
# one the target does see, must be found first, so that the test cannot pass on
# an include path that finds nothing at all.
function(brenvik_hidden_header target visible hidden)
    string(MAKE_C_IDENTIFIER "hidden_${target}_${hidden}" name)
    set(probe ${CMAKE_CURRENT_BINARY_DIR}/${name}.cpp)
    file(CONFIGURE OUTPUT ${probe} CONTENT
        "#if __has_include(<${visible}>)\n#include <${hidden}>\n#else\n#error \"${visible} is not on the include path\"\n#endif\n")
    add_test(NAME ${name}
        COMMAND ${CMAKE_CXX_COMPILER} -fsyntax-only
            "-I$<JOIN:$<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>,;-I>" ${probe}
        COMMAND_EXPAND_LISTS)
    string(REPLACE "." "\\." pattern ${hidden})
    set_tests_properties(${name} PROPERTIES
        PASS_REGULAR_EXPRESSION "${pattern}: No such file or directory|'${pattern}' file not found")
endfunction()
