# The libraries the programs and tests link, as static libraries found through
# CMAKE_PREFIX_PATH (scripts/setup.sh builds libpng, libjpeg-turbo, libsodium,
# GoogleTest and pugixml for MinGW into /opt/tarnwick-deps/mingw32, which the
# presets name) and the compiler's own folders (zlib). The deps:: names are what
# the lists link.

# deps_import(name library): a static library found by file name, with the
# include folder beside it.
function(deps_import name library)
  find_library(DEPS_${name}_LIBRARY NAMES ${library} REQUIRED)
  get_filename_component(prefix "${DEPS_${name}_LIBRARY}" DIRECTORY)
  get_filename_component(prefix "${prefix}" DIRECTORY)
  add_library(deps::${name} STATIC IMPORTED GLOBAL)
  set_target_properties(deps::${name} PROPERTIES
    IMPORTED_LOCATION "${DEPS_${name}_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${prefix}/include")
endfunction()

# deps_alias(name target): a deps:: name for a package's own target.
function(deps_alias name target)
  add_library(deps::${name} INTERFACE IMPORTED GLOBAL)
  set_property(TARGET deps::${name} PROPERTY INTERFACE_LINK_LIBRARIES ${target})
endfunction()

# No zlib DLL is shipped: the static library or none.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
deps_alias(zlib ZLIB::ZLIB)
deps_alias(png PNG::PNG)
deps_alias(jpeg JPEG::JPEG)
# libsodium's autotools build installs no CMake package.
deps_import(sodium libsodium.a)
set_property(TARGET deps::sodium PROPERTY INTERFACE_COMPILE_DEFINITIONS SODIUM_STATIC)

# Only the tests and benchmarks need these.
if(BUILD_TESTING)
  find_package(GTest CONFIG REQUIRED)
  find_package(pugixml CONFIG REQUIRED)
  deps_alias(gtest GTest::gtest)
  deps_alias(gtest_main GTest::gtest_main)
  if(TARGET pugixml::static)
    deps_alias(pugixml pugixml::static)
  else()
    deps_alias(pugixml pugixml::pugixml)
  endif()
endif()
