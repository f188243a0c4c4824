# Helpers that keep every target of the tree built the same way.

function(zentrope_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                           -Wnon-virtual-dtor -Wimplicit-fallthrough)
  if(ZENTROPE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  # GCC 12 reports impossible sizes inside libstdc++'s own string and vector
  # code once it inlines at -O2 and above (GCC bugs 105329, 105651); those
  # warnings say nothing about our code.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict -Wno-stringop-overflow)
    # Sanitizer instrumentation makes GCC 12 guess at uninitialized values
    # inside std::function and std::regex.
    if(CMAKE_CXX_FLAGS MATCHES "-fsanitize=")
      target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized)
    endif()
  endif()
endfunction()

# zentrope_folder_library(<name> <path> [DEPENDS <targets or folders>...])
# A static library zentrope_<name> of the sources in one sub-folder of src/ that
# must not join its parent folder's library (a backend, the backend factory).
function(zentrope_folder_library name path)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${path}/*.cpp)
  set(target zentrope_${name})
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  zentrope_resolve_dependencies(deps ${ARG_DEPENDS})
  target_link_libraries(${target} PUBLIC ${deps})
  zentrope_warnings(${target})
endfunction()

# zentrope_resolve_dependencies(<out> <targets or folders>...)
# Folder names become their zentrope_<folder> targets; other names stay.
function(zentrope_resolve_dependencies out)
  set(deps)
  foreach(dep IN LISTS ARGN)
    if(TARGET zentrope_${dep})
      list(APPEND deps zentrope_${dep})
    else()
      list(APPEND deps ${dep})
    endif()
  endforeach()
  set(${out} ${deps} PARENT_SCOPE)
endfunction()

# zentrope_library(<folder> [DEPENDS <targets or folders>...])
# One static library per folder of src/, named zentrope_<folder>; main.cpp stays
# out of it because it belongs to the executable.
function(zentrope_library folder)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  set(target zentrope_${folder})
  zentrope_resolve_dependencies(deps ${ARG_DEPENDS})
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${deps})
    zentrope_warnings(${target})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${deps})
  endif()
endfunction()
