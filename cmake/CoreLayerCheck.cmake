# The core library holds the logic without windows. These checks keep it so: at configure time its
# link libraries, at build time (before the core compiles) the includes of every file outside a
# ui/ folder.
set(KW_FORBIDDEN_QT_MODULES Widgets Charts Multimedia PrintSupport)

function(kw_check_core_layer target)
    get_target_property(links ${target} LINK_LIBRARIES)
    foreach(module ${KW_FORBIDDEN_QT_MODULES})
        if("Qt6::${module}" IN_LIST links)
            message(FATAL_ERROR "${target} links Qt6::${module}; window code belongs in a ui/ folder and kw_gui")
        endif()
    endforeach()

    find_package(Qt6 REQUIRED COMPONENTS ${KW_FORBIDDEN_QT_MODULES})
    set(forbidden)
    foreach(module ${KW_FORBIDDEN_QT_MODULES})
        get_target_property(inc Qt6::${module} INTERFACE_INCLUDE_DIRECTORIES)
        foreach(d ${inc})
            if(d MATCHES "/Qt${module}$")
                list(APPEND forbidden ${d})
            endif()
        endforeach()
    endforeach()

    set(files)
    foreach(area app draws tips engine charts server)
        file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${area}/*.h ${CMAKE_SOURCE_DIR}/${area}/*.cpp)
        list(APPEND files ${found})
    endforeach()
    set(stamp ${CMAKE_BINARY_DIR}/core_layer_check.stamp)
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} "-DFILES=${files}" "-DFORBIDDEN_DIRS=${forbidden}"
                "-DMODULES=${KW_FORBIDDEN_QT_MODULES}" "-DSTAMP=${stamp}"
                -P ${CMAKE_SOURCE_DIR}/cmake/ScanCoreIncludes.cmake
        DEPENDS ${files} ${CMAKE_SOURCE_DIR}/cmake/ScanCoreIncludes.cmake
        COMMENT "Checking that the core includes no widget, chart or sound header"
        VERBATIM)
    add_custom_target(${target}_layer_check DEPENDS ${stamp})
    add_dependencies(${target} ${target}_layer_check)
endfunction()
