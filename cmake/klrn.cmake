# Helpers shared by the build files.

# Libraries do not pull in the catalogue: each program or test links the
# catalogue of the row it is built for, last.

# A static library of every .cpp in the given folders that is not a Win32
# adapter (*_win.cpp). Empty folders give an interface library.
function(klrn_core_library name)
    set(sources "")
    foreach(dir IN LISTS ARGN)
        file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
        list(APPEND sources ${found})
    endforeach()
    list(FILTER sources EXCLUDE REGEX "_win\\.cpp$")
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    endif()
endfunction()

# The Win32 adapters (*_win.cpp) of the given folders.
function(klrn_win_sources out)
    set(sources "")
    foreach(dir IN LISTS ARGN)
        file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*_win.cpp)
        list(APPEND sources ${found})
    endforeach()
    set(${out} ${sources} PARENT_SCOPE)
endfunction()

# The resource scripts (*.rc) of the given folders.
function(klrn_rc_sources out)
    set(sources "")
    foreach(dir IN LISTS ARGN)
        file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.rc)
        list(APPEND sources ${found})
    endforeach()
    set(${out} ${sources} PARENT_SCOPE)
endfunction()

# A catalogue built for one row.
function(klrn_catalogue name row)
    add_library(${name} STATIC ${CMAKE_SOURCE_DIR}/catalogue/model_catalogue.cpp)
    target_compile_definitions(${name} PRIVATE TARGET_MODEL=${row})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()
