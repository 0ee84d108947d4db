# The command line as WebAssembly for Node (emscripten): the core, the commands and a picture
# adapter without the toolkit. Node's own file system stands in for the system's, so the
# program reads and writes the host's files by their host names. Included by the top-level
# file when the compiler is emscripten; nothing here touches the native build.

# Every error the program reports is a C++ exception: without this they would abort. The
# engine's own exceptions (Node 17 and later), not emscripten's JavaScript ones: those send
# every call that may throw through JavaScript and made the program a third larger and
# slower to start.
add_compile_options(-fwasm-exceptions)
add_link_options(-fwasm-exceptions)
# Filling and copying memory as single instructions (bulk memory, Node 12.5 and later, every
# current browser): a run is short, so nearly all of it executes as the engine's first,
# unoptimised code, in which the library's byte loops over an image took tens of milliseconds.
add_compile_options(-mbulk-memory)
add_link_options(-mbulk-memory)
# Thread-local storage with bulk memory needs threads (atomics) too: the one file with a
# per-thread cache is compiled without, where thread-local storage becomes plain storage,
# right for this single-threaded program (the picture library is told to keep none).
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/ppm/Checksums.cpp TARGET_DIRECTORY brivant_core
                            PROPERTIES COMPILE_OPTIONS -mno-bulk-memory)
# The core was declared before this file: it gets the same, and loses what only shared
# libraries need (the program links everything into one module).
set_property(TARGET brivant_core PROPERTY COMPILE_OPTIONS -fwasm-exceptions -mbulk-memory)
set_property(TARGET brivant_core PROPERTY POSITION_INDEPENDENT_CODE OFF)

# The header-only libraries come from the host's include folder, each through a folder of its
# own, so that the host's C library headers never mix with emscripten's.
set(BRIVANT_WASM_INCLUDE ${CMAKE_BINARY_DIR}/host-include)
file(MAKE_DIRECTORY ${BRIVANT_WASM_INCLUDE})
foreach(lib CLI stb)
  if(NOT EXISTS /usr/include/${lib})
    message(FATAL_ERROR "/usr/include/${lib} is missing (scripts/install-deps.sh wasm)")
  endif()
  file(CREATE_LINK /usr/include/${lib} ${BRIVANT_WASM_INCLUDE}/${lib} SYMBOLIC)
endforeach()

# Pictures through stb_image and the project's own writers.
file(GLOB WASM_PICTURE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/stb/*.cpp)
list(APPEND WASM_PICTURE_SOURCES ${CMAKE_SOURCE_DIR}/src/platform/BitmapSheetLayout.cpp
     ${CMAKE_SOURCE_DIR}/src/platform/RunLengthBmp.cpp ${CMAKE_SOURCE_DIR}/src/platform/GifEncoder.cpp)
add_library(brivant_pictures_stb STATIC ${WASM_PICTURE_SOURCES})
target_link_libraries(brivant_pictures_stb PUBLIC brivant_core)
target_include_directories(brivant_pictures_stb SYSTEM PRIVATE ${BRIVANT_WASM_INCLUDE})

file(GLOB WASM_CLI_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/cli/*.cpp)
# The native program loads its picture module from a file; this one has it linked in.
list(FILTER WASM_CLI_SOURCES EXCLUDE REGEX ".*/(main|DocsMain|PictureModule)\\.cpp$")
list(APPEND WASM_CLI_SOURCES ${CMAKE_SOURCE_DIR}/src/cli/system/PictureModuleLinked.cpp)
add_library(brivant_cli_lib STATIC ${WASM_CLI_SOURCES})
target_link_libraries(brivant_cli_lib PUBLIC brivant_core brivant_pictures_stb)
target_include_directories(brivant_cli_lib SYSTEM PUBLIC ${BRIVANT_WASM_INCLUDE})
target_compile_definitions(brivant_cli_lib PRIVATE BRIVANT_VERSION="${PROJECT_VERSION}")
target_precompile_headers(brivant_cli_lib PRIVATE <CLI/CLI.hpp>)

add_executable(brivant-cli src/cli/main.cpp)
target_link_libraries(brivant-cli PRIVATE brivant_cli_lib)
set_target_properties(brivant-cli PROPERTIES SUFFIX ".js")
target_link_options(
  brivant-cli PRIVATE
  # Node only; files are the host's files.
  -sENVIRONMENT=node -sNODERAWFS=1
  # Images up to 64 MiB and their copies, the memory growing as needed. It starts at 16 MiB:
  # from 32 MiB on, making it makes Node collect garbage at once (external memory pressure),
  # ten milliseconds and more of every start. It is made by the script rather than by the
  # module, so that a host running the program many times (the tests' server) can hand it a
  # cleared one.
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=16777216 -sIMPORTED_MEMORY=1
  # The exit status is the program's, and output is flushed at the end.
  -sEXIT_RUNTIME=1
  # Compiled at start from the file beside the script, read with Node's file system: Node's
  # fetch cannot load a file path, and a synchronous start is quicker for a short run.
  -sWASM_ASYNC_COMPILATION=0
  # 64-bit values pass as BigInt: without it, a call that may throw and takes or returns one
  # goes through a helper this emscripten does not always export.
  -sWASM_BIGINT=1
  # Engine settings for a short run (the file says which).
  --pre-js ${CMAKE_SOURCE_DIR}/src/core/system/node-pre.js)
set_property(TARGET brivant-cli APPEND PROPERTY LINK_DEPENDS
             ${CMAKE_SOURCE_DIR}/src/core/system/node-pre.js)

# The npm package: the program, its launcher and the package description, packed.
set(BRIVANT_NPM_DIR ${CMAKE_BINARY_DIR}/npm)
# npm versions are three numbers without leading zeros: 1.03 is 1.3.0 there.
math(EXPR BRIVANT_NPM_MINOR "${PROJECT_VERSION_MINOR}")
set(BRIVANT_NPM_VERSION "${PROJECT_VERSION_MAJOR}.${BRIVANT_NPM_MINOR}.0")
configure_file(${CMAKE_SOURCE_DIR}/packaging/npm/package.json.in ${BRIVANT_NPM_DIR}/package.json
               @ONLY)
add_custom_target(
  npm-pack
  COMMAND ${CMAKE_COMMAND} -E make_directory ${BRIVANT_NPM_DIR}/lib ${BRIVANT_NPM_DIR}/bin
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:brivant-cli>
          $<TARGET_FILE_DIR:brivant-cli>/brivant-cli.wasm ${BRIVANT_NPM_DIR}/lib/
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/packaging/npm/brivant-cli
          ${BRIVANT_NPM_DIR}/bin/brivant-cli
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/LICENSE ${BRIVANT_NPM_DIR}/LICENSE
  COMMAND npm pack --silent --pack-destination ${CMAKE_BINARY_DIR} ${BRIVANT_NPM_DIR}
  DEPENDS brivant-cli
  VERBATIM)

# The editor as a web page: the same core and commands behind the page's own files in web/.
# The command table goes to the page as a script written at build time by a small program run
# under Node, from the same table that parses the commands and writes the manual pages.
set(BRIVANT_WEB_DIR ${CMAKE_BINARY_DIR}/web)
add_executable(brivant-web-table src/web/TableMain.cpp src/web/CommandTableJson.cpp)
target_link_libraries(brivant-web-table PRIVATE brivant_cli_lib)
set_target_properties(brivant-web-table PROPERTIES SUFFIX ".js")
target_link_options(brivant-web-table PRIVATE -sENVIRONMENT=node -sNODERAWFS=1 -sEXIT_RUNTIME=1
                    -sWASM_ASYNC_COMPILATION=0 -sWASM_BIGINT=1)

add_executable(brivant-web src/web/WebMain.cpp src/web/WebSession.cpp)
target_link_libraries(brivant-web PRIVATE brivant_cli_lib)
set_target_properties(brivant-web PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY
                                                          ${BRIVANT_WEB_DIR})
target_link_options(
  brivant-web PRIVATE
  # One script with the WebAssembly inside: a page opened from the disk may load nothing but
  # scripts beside it, and no request is needed to start.
  -sENVIRONMENT=web -sSINGLE_FILE=1
  -sMODULARIZE=1 -sEXPORT_NAME=BrivantCore
  # The page writes the image into the program's own file system and reads results from it.
  -sFORCE_FILESYSTEM=1 -sEXPORTED_RUNTIME_METHODS=ccall,FS
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=33554432
  -sWASM_BIGINT=1
  # What the system layer asks of Node, answered in the browser.
  --pre-js ${CMAKE_SOURCE_DIR}/web/core-pre.js)
set_property(TARGET brivant-web APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/web/core-pre.js)

file(GLOB BRIVANT_WEB_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/web/*)
list(FILTER BRIVANT_WEB_FILES EXCLUDE REGEX ".*/core-pre\\.js$")
set(BRIVANT_WEB_COPIES)
foreach(f ${BRIVANT_WEB_FILES})
  get_filename_component(name ${f} NAME)
  add_custom_command(
    OUTPUT ${BRIVANT_WEB_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy ${f} ${BRIVANT_WEB_DIR}/${name}
    DEPENDS ${f}
    VERBATIM)
  list(APPEND BRIVANT_WEB_COPIES ${BRIVANT_WEB_DIR}/${name})
endforeach()
add_custom_command(
  OUTPUT ${BRIVANT_WEB_DIR}/commands.js
  COMMAND node $<TARGET_FILE:brivant-web-table> > ${BRIVANT_WEB_DIR}/commands.js
  DEPENDS brivant-web-table
  VERBATIM)
add_custom_target(brivant-web-page ALL DEPENDS brivant-web ${BRIVANT_WEB_DIR}/commands.js
                                               ${BRIVANT_WEB_COPIES})
