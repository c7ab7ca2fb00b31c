# The rooms of src/ and who may include whom. Data flows one way: the
# operator's texts under everything, then what differs between Linux and
# Windows (platform) and the settings file read through it (settings), the
# database side (db, then its providers, then the
# provider switch), the engine (export), and on top the window (app) and
# the command-line programs (cli), which never include each other.
#
# brivano_check_room(ROOM MAY_INCLUDE ROOM...) reads every source of
# src/ROOM and stops the configuration when a file includes a header of a
# room that is not listed. Works in a project and in script mode
# (cmake -DSOURCE_ROOT=... -P RoomFloors.cmake checks a whole tree).

cmake_policy(VERSION 3.25)

set(BRIVANO_ROOMS
    "texts|texts"
    "platform|texts platform"
    "settings|texts platform settings"
    "db|texts platform db"
    "db/dialect|texts platform db db/dialect"
    "db/odbc|texts platform db db/dialect db/odbc"
    "db/sqlite|texts platform db db/dialect db/sqlite"
    "db/postgres|texts platform db db/dialect db/postgres"
    "db/mariadb|texts platform db db/dialect db/mariadb"
    "db/ado|texts platform db db/ado"
    "db/connect|texts platform db db/connect db/odbc db/sqlite db/postgres db/mariadb db/ado"
    "export|texts platform db db/connect export"
    "app|texts platform settings db db/connect export app"
    "cli|texts platform settings db db/connect export cli"
)

function(brivano_check_room source_root room)
    set(allowed ${ARGN})
    file(GLOB sources LIST_DIRECTORIES false "${source_root}/${room}/*.h" "${source_root}/${room}/*.cpp")
    set(violations "")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"]+\"")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([^\"]+)\".*" "\\1" header "${line}")
            get_filename_component(header_room "${header}" DIRECTORY)
            # Headers beside the file (no folder) and system-style paths
            # that name no room of src/ are not the floors' business.
            if(header_room STREQUAL "" OR NOT IS_DIRECTORY "${source_root}/${header_room}")
                continue()
            endif()
            if(NOT header_room IN_LIST allowed)
                file(RELATIVE_PATH shown "${source_root}" "${source}")
                list(APPEND violations "  src/${shown} includes \"${header}\"")
            endif()
        endforeach()
    endforeach()
    if(violations)
        string(REPLACE ";" "\n" violations "${violations}")
        message(FATAL_ERROR "Room ${room} may include only [${allowed}], but:\n${violations}")
    endif()
endfunction()

function(brivano_check_all_rooms source_root)
    foreach(entry IN LISTS BRIVANO_ROOMS)
        string(REPLACE "|" ";" parts "${entry}")
        list(GET parts 0 room)
        list(GET parts 1 allowed)
        separate_arguments(allowed)
        brivano_check_room("${source_root}" "${room}" ${allowed})
    endforeach()
endfunction()

# Refuses a configuration in which `target` links Qt Widgets, directly or
# through the libraries it links.
function(brivano_forbid_widgets target)
    set(pending ${target})
    set(seen "")
    while(pending)
        list(POP_FRONT pending current)
        if(current IN_LIST seen OR NOT TARGET ${current})
            continue()
        endif()
        list(APPEND seen ${current})
        get_target_property(aliased ${current} ALIASED_TARGET)
        if(aliased)
            set(current ${aliased})
        endif()
        if(current STREQUAL "Qt6::Widgets")
            message(FATAL_ERROR "${target} must not link Qt Widgets (it does through ${seen})")
        endif()
        get_target_property(type ${current} TYPE)
        set(links "")
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            get_target_property(direct ${current} LINK_LIBRARIES)
            if(direct)
                list(APPEND links ${direct})
            endif()
        endif()
        get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
        if(interface)
            list(APPEND links ${interface})
        endif()
        foreach(link IN LISTS links)
            # $<LINK_ONLY:x> and similar wrappers name x.
            string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
            list(APPEND pending ${link})
        endforeach()
    endwhile()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND SOURCE_ROOT)
    brivano_check_all_rooms("${SOURCE_ROOT}")
endif()
