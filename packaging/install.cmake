# What `cmake --install` and `make install` put under the prefix (the SDK),
# and the Debian package `make package` makes of it. Every path is relative
# to the prefix, so that the tree works wherever it is installed or unpacked.
include(GNUInstallDirs)

# Lua modules where each Lua looks for them: lib/lua/<version>/ under
# /usr/local, and Debian's multiarch lib/<triplet>/lua/<version>/ under /usr,
# which LuaJIT searches too.
set(NOISEBIND_INSTALL_LUADIR ${CMAKE_INSTALL_LIBDIR}/lua CACHE STRING
    "Where Lua modules go under the prefix, in a folder per Lua version")
set(NOISEBIND_INSTALL_EXTDIR ${CMAKE_INSTALL_LIBDIR}/noisebind)
set(NOISEBIND_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/noisebind)
set(NOISEBIND_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/noisebind)

# An installed vessa finds the extension from where it is itself.
file(RELATIVE_PATH extension_from_bin /p/${CMAKE_INSTALL_BINDIR}
     /p/${NOISEBIND_INSTALL_EXTDIR}/noisebind.so)
target_compile_definitions(vessa_host PRIVATE NOISEBIND_INSTALLED_EXTENSION="${extension_from_bin}")

install(TARGETS vessa noisebind_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS noisebind LIBRARY DESTINATION ${NOISEBIND_INSTALL_EXTDIR})
foreach(version ${NOISEBIND_MODULE_VERSIONS})
  install(TARGETS noisebind_module_${version}
          LIBRARY DESTINATION ${NOISEBIND_INSTALL_LUADIR}/${version})
endforeach()

# The host library and the engine libraries of the script libraries, which
# other folders add to NOISEBIND_LUA_LIBRARIES.
get_property(engine_libraries GLOBAL PROPERTY NOISEBIND_LUA_LIBRARIES)
set(sdk_libraries vessa_host ${engine_libraries})
install(TARGETS ${sdk_libraries} ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})

# The host interface, the host library's headers, and the `noise` table's.
install(FILES extension/entry/host_interface.h extension/entry/entry_points.h
        DESTINATION ${NOISEBIND_INSTALL_INCLUDEDIR}/entry)
file(GLOB host_headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/host/*.h)
# vessa's own headers went out under host/ before they had a folder of their
# own; the SDK keeps them there.
set(vessa_headers interactive.h progress_bar.h script_source.h vessa_options.h)
list(TRANSFORM vessa_headers PREPEND ${PROJECT_SOURCE_DIR}/programs/vessa/)
install(FILES ${host_headers} ${vessa_headers} DESTINATION ${NOISEBIND_INSTALL_INCLUDEDIR}/host)
install(FILES lua/module/noise_table.h DESTINATION ${NOISEBIND_INSTALL_INCLUDEDIR}/module)
install(DIRECTORY examples/embed/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples/embed)

# pkg-config and CMake find the libraries by paths relative to their files.
set(sdk_archives "")
set(sdk_link_flags "")
foreach(library ${sdk_libraries})
  list(APPEND sdk_archives "\${_noisebind_prefix}/${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:${library}>")
  string(APPEND sdk_link_flags " \${libdir}/$<TARGET_FILE_NAME:${library}>")
endforeach()
file(RELATIVE_PATH pc_to_prefix /p/${CMAKE_INSTALL_LIBDIR}/pkgconfig /p)
file(RELATIVE_PATH cmake_to_prefix /p/${NOISEBIND_INSTALL_CMAKEDIR} /p)
foreach(file noisebind.pc noisebindConfig.cmake)
  configure_file(packaging/${file}.in ${CMAKE_BINARY_DIR}/packaging/${file}.in @ONLY)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/packaging/${file}
       INPUT ${CMAKE_BINARY_DIR}/packaging/${file}.in)
endforeach()
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/packaging/noisebindConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/packaging/noisebind.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
install(FILES ${CMAKE_BINARY_DIR}/packaging/noisebindConfig.cmake
              ${CMAKE_BINARY_DIR}/packaging/noisebindConfigVersion.cmake
        DESTINATION ${NOISEBIND_INSTALL_CMAKEDIR})


# The manual pages, the licence and the changelog, compressed as Debian keeps
# them (gzip -9n: no name or time stamp, so builds are reproducible).
set(doc_sources ${PROJECT_SOURCE_DIR}/packaging/man/vessa.1
                ${PROJECT_SOURCE_DIR}/packaging/man/noisebind.1
                ${PROJECT_SOURCE_DIR}/packaging/debian/changelog)
set(compressed_docs "")
foreach(source ${doc_sources})
  get_filename_component(name ${source} NAME)
  set(output ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${output} COMMAND gzip -9n -c ${source} > ${output}
                     DEPENDS ${source} VERBATIM)
  list(APPEND compressed_docs ${output})
endforeach()
add_custom_target(noisebind_docs ALL DEPENDS ${compressed_docs})
install(FILES ${CMAKE_BINARY_DIR}/packaging/vessa.1.gz ${CMAKE_BINARY_DIR}/packaging/noisebind.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz
              ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(packaging/deb.cmake)

# The studio's page, when `make studio-page` has bundled it: the studio
# finds it under share/noisebind/studio beside its bin folder.
install(DIRECTORY ${CMAKE_BINARY_DIR}/programs/studio/page/ DESTINATION ${CMAKE_INSTALL_DATADIR}/noisebind/studio
        OPTIONAL)
