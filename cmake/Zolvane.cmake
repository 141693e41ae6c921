# One library target per source folder, built from every .cpp in that folder.
# A target without QT is core code: it links no Qt module, and the layer check (below) fails the
# build when one of its sources includes a Qt header or a header of a folder it does not link.
function(zolvane_library name dir)
  cmake_parse_arguments(ARG "QT" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    if(ARG_LINKS)
      target_link_libraries(${name} PUBLIC ${ARG_LINKS})
    endif()
  else()
    # A folder still without sources: an empty target keeps the links valid.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    if(ARG_LINKS)
      target_link_libraries(${name} INTERFACE ${ARG_LINKS})
    endif()
  endif()
  get_filename_component(absolute ${dir} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${absolute})
  set_property(GLOBAL PROPERTY ZOLVANE_FOLDER_${name} ${folder})
  set_property(GLOBAL PROPERTY ZOLVANE_LINKS_${name} ${ARG_LINKS})
  set_property(GLOBAL APPEND PROPERTY ZOLVANE_LIBRARIES ${name})
  if(NOT ARG_QT)
    set_property(GLOBAL APPEND PROPERTY ZOLVANE_CORE_LIBRARIES ${name})
  endif()
endfunction()

# The folders a library may include from: its own and those of every zolvane library it links,
# directly or through another.
function(zolvane_allowed_folders name out)
  set(seen)
  set(queue ${name})
  while(queue)
    list(POP_FRONT queue current)
    if(current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    get_property(links GLOBAL PROPERTY ZOLVANE_LINKS_${current})
    foreach(link ${links})
      get_property(known GLOBAL PROPERTY ZOLVANE_FOLDER_${link} SET)
      if(known)
        list(APPEND queue ${link})
      endif()
    endforeach()
  endwhile()
  set(folders)
  foreach(library ${seen})
    get_property(folder GLOBAL PROPERTY ZOLVANE_FOLDER_${library})
    list(APPEND folders ${folder})
  endforeach()
  set(${out} ${folders} PARENT_SCOPE)
endfunction()

# The layer check, run with every build: each core folder's sources may include the standard
# library and the folders it links, nothing of Qt; the command-line tool nothing from app/.
function(zolvane_layer_check)
  get_property(libraries GLOBAL PROPERTY ZOLVANE_LIBRARIES)
  get_property(core GLOBAL PROPERTY ZOLVANE_CORE_LIBRARIES)
  set(all_folders)
  foreach(library ${libraries})
    get_property(folder GLOBAL PROPERTY ZOLVANE_FOLDER_${library})
    list(APPEND all_folders ${folder})
  endforeach()
  set(rules "set(ZOLVANE_ALL_FOLDERS \"${all_folders}\")\n")
  set(sources)
  foreach(library ${core})
    get_property(folder GLOBAL PROPERTY ZOLVANE_FOLDER_${library})
    zolvane_allowed_folders(${library} allowed)
    list(JOIN allowed "," allowed)
    string(APPEND rules "list(APPEND ZOLVANE_RULES \"${folder}|${allowed}|qt\")\n")
    file(GLOB files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp
         ${PROJECT_SOURCE_DIR}/src/${folder}/*.h)
    list(APPEND sources ${files})
  endforeach()
  # The tool may use any library but none of the editor's window code ("!" lists what a folder
  # may not include).
  string(APPEND rules "list(APPEND ZOLVANE_RULES \"cli|!app|\")\n")
  file(GLOB files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/cli/*.cpp ${PROJECT_SOURCE_DIR}/src/cli/*.h)
  list(APPEND sources ${files})
  set(rule_file ${CMAKE_BINARY_DIR}/layer-rules.cmake)
  file(WRITE ${rule_file} "${rules}")
  set(stamp ${CMAKE_BINARY_DIR}/layer-check.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DRULES=${rule_file} -DSOURCE_ROOT=${PROJECT_SOURCE_DIR}/src
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${sources} ${rule_file} ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
    COMMENT "Checking the layers of the core")
  add_custom_target(layer_check ALL DEPENDS ${stamp})
  # Every library waits for the check, so a stray include stops the build before it compiles.
  foreach(library ${libraries})
    get_target_property(type ${library} TYPE)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      add_dependencies(${library} layer_check)
    endif()
  endforeach()
endfunction()

# One GoogleTest executable per test folder.
function(zolvane_test name dir)
  cmake_parse_arguments(ARG "GUI" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  if(NOT sources)
    return()
  endif()
  if(CMAKE_CXX_FLAGS MATCHES "sanitize=thread")
    # Qt's own hand-overs between threads, which the sanitizer cannot see, are suppressed.
    file(READ ${PROJECT_SOURCE_DIR}/tests/tsan.supp ZOLVANE_TSAN_SUPPRESSIONS)
    configure_file(${PROJECT_SOURCE_DIR}/tests/support/TsanSuppressions.cpp.in
                   ${CMAKE_BINARY_DIR}/TsanSuppressions.cpp @ONLY)
    list(APPEND sources ${CMAKE_BINARY_DIR}/TsanSuppressions.cpp)
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LINKS} GTest::gtest GTest::gmock)
  if(NOT ARG_GUI)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_compile_definitions(${name} PRIVATE
    ZOLVANE_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures")
  set(props)
  if(ARG_GUI)
    set(props ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
endfunction()

# The languages the interface is translated into besides English.
set(ZOLVANE_LANGUAGES zh_CN)

# A translation file per language (assets/translations/<group>_<language>.ts) for the texts of
# the named folders under src/, each folder without its subfolders; `update_translations` reads
# the sources into them again. The files are kept in the global property ZOLVANE_TS_FILES.
function(zolvane_translation_group group target)
  set(sources)
  foreach(dir ${ARGN})
    file(GLOB dir_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${dir}/*.cpp
         ${PROJECT_SOURCE_DIR}/src/${dir}/*.h)
    list(APPEND sources ${dir_sources})
  endforeach()
  set(ts)
  foreach(language ${ZOLVANE_LANGUAGES})
    list(APPEND ts ${PROJECT_SOURCE_DIR}/assets/translations/${group}_${language}.ts)
  endforeach()
  qt_add_lupdate(${target} TS_FILES ${ts} SOURCES ${sources}
    OPTIONS -no-obsolete -locations none -tr-function-alias QT_TRANSLATE_NOOP+=ZV_TRANSLATABLE)
  set_property(GLOBAL APPEND PROPERTY ZOLVANE_TS_FILES ${ts})
endfunction()
