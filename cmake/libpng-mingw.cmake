# libpng for Windows, compiled from Debian's source package that scripts/setup
# unpacks into third_party/libpng, linked against Debian's mingw zlib.
set(VELKOR_LIBPNG_DIR ${PROJECT_SOURCE_DIR}/third_party/libpng)
if(NOT EXISTS ${VELKOR_LIBPNG_DIR}/png.h)
  message(FATAL_ERROR "libpng sources missing in ${VELKOR_LIBPNG_DIR}: run scripts/setup")
endif()
set(libpng_conf_dir ${CMAKE_BINARY_DIR}/libpng-conf)
configure_file(${VELKOR_LIBPNG_DIR}/scripts/pnglibconf.h.prebuilt ${libpng_conf_dir}/pnglibconf.h COPYONLY)
add_library(velkor_png STATIC
  ${VELKOR_LIBPNG_DIR}/png.c ${VELKOR_LIBPNG_DIR}/pngerror.c ${VELKOR_LIBPNG_DIR}/pngget.c
  ${VELKOR_LIBPNG_DIR}/pngmem.c ${VELKOR_LIBPNG_DIR}/pngpread.c ${VELKOR_LIBPNG_DIR}/pngread.c
  ${VELKOR_LIBPNG_DIR}/pngrio.c ${VELKOR_LIBPNG_DIR}/pngrtran.c ${VELKOR_LIBPNG_DIR}/pngrutil.c
  ${VELKOR_LIBPNG_DIR}/pngset.c ${VELKOR_LIBPNG_DIR}/pngtrans.c ${VELKOR_LIBPNG_DIR}/pngwio.c
  ${VELKOR_LIBPNG_DIR}/pngwrite.c ${VELKOR_LIBPNG_DIR}/pngwtran.c ${VELKOR_LIBPNG_DIR}/pngwutil.c)
target_include_directories(velkor_png SYSTEM PUBLIC ${VELKOR_LIBPNG_DIR} ${libpng_conf_dir})
target_compile_definitions(velkor_png PRIVATE PNG_ARM_NEON_OPT=0 PNG_INTEL_SSE_OPT=0)
target_compile_options(velkor_png PRIVATE -w)
find_library(VELKOR_ZLIB NAMES libz.a z REQUIRED)
target_link_libraries(velkor_png PUBLIC ${VELKOR_ZLIB})
add_library(PNG::PNG ALIAS velkor_png)
