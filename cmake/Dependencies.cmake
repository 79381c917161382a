# Imported targets for the libraries that scripts/setup.sh builds for MinGW.
function(deps_import name lib)
  set(path "${DEPS_PREFIX}/lib/${lib}")
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "${path} is missing: run scripts/setup.sh")
  endif()
  add_library(deps::${name} STATIC IMPORTED GLOBAL)
  set_target_properties(deps::${name} PROPERTIES
    IMPORTED_LOCATION "${path}"
    INTERFACE_INCLUDE_DIRECTORIES "${DEPS_PREFIX}/include")
endfunction()

add_library(deps::zlib STATIC IMPORTED GLOBAL)
set_target_properties(deps::zlib PROPERTIES
  IMPORTED_LOCATION "/usr/i686-w64-mingw32/lib/libz.a")

deps_import(jpeg libjpeg.a)
deps_import(png libpng.a)
set_property(TARGET deps::png PROPERTY INTERFACE_LINK_LIBRARIES deps::zlib)
deps_import(gtest libgtest.a)
deps_import(gtest_main libgtest_main.a)
set_property(TARGET deps::gtest_main PROPERTY INTERFACE_LINK_LIBRARIES deps::gtest)
deps_import(pugixml libpugixml.a)
