# `make package`: one Debian package with everything `cmake --install` puts
# under the prefix, installed under /usr (see NOISEBIND_INSTALL_LUADIR).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME noisebind)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "noisebind developers <noisebind@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "coherent noise for Lua scripts: vessa, the extension, the Lua module and the SDK")
# Debian's extended description: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "The noisebind extension and its vessa host, the Lua module noisebind that\n"
    "LuaJIT and Lua 5.1 to 5.4 load with require, and the host library with its\n"
    "headers, pkg-config file and CMake package for programs that embed LuaJIT;\n"
    "and the noisebind command, which renders, checks and measures graph files.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Binaries stripped, as Debian ships them (a debugger wants the build tree's).
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
# What vessa, the extension, the modules and the noisebind command (its
# studio serves over cpp-httplib) link; the Lua that loads a
# module is the user's choice; the SDK builds with the -dev packages.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libstdc++6, libgcc-s1, libnoise0, libluajit-5.1-2, libpng16-16, libssl3, libcpp-httplib0.11")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "luajit | lua5.4 | lua5.3 | lua5.2 | lua5.1")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libnoise-dev, libluajit-5.1-dev, libpng-dev, pkg-config")
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
