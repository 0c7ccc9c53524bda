# zstd, compiled from its own sources into a static library for whichever
# configuration this is (native, sanitizers, fuzzing, MinGW): the saved-scan
# files are compressed with it. scripts/bootstrap.sh unpacks Debian's
# source package into OMBRIX_DEPS_DIR/zstd. Only what compressing and
# decompressing one frame needs is built: no legacy formats, no dictionary
# builder, no worker threads, and the portable C decoder everywhere (the
# hand-written x86-64 assembly is ELF-only and unsanitised).
set(OMBRIX_ZSTD_DIR "${OMBRIX_DEPS_DIR}/zstd")
if(NOT EXISTS "${OMBRIX_ZSTD_DIR}/lib/zstd.h")
  message(FATAL_ERROR "zstd's sources are missing in ${OMBRIX_ZSTD_DIR}: run scripts/bootstrap.sh "
                      "\"${OMBRIX_DEPS_DIR}\" (make does)")
endif()
file(GLOB ombrix_zstd_sources
  "${OMBRIX_ZSTD_DIR}/lib/common/*.c"
  "${OMBRIX_ZSTD_DIR}/lib/compress/*.c"
  "${OMBRIX_ZSTD_DIR}/lib/decompress/*.c")
add_library(ombrix_zstd STATIC ${ombrix_zstd_sources})
target_include_directories(ombrix_zstd SYSTEM PUBLIC "${OMBRIX_ZSTD_DIR}/lib")
target_compile_definitions(ombrix_zstd PUBLIC ZSTD_DISABLE_ASM=1 PRIVATE ZSTD_LEGACY_SUPPORT=0)
target_link_libraries(ombrix_zstd PRIVATE ombrix_sanitizers)
set_target_properties(ombrix_zstd PROPERTIES C_STANDARD 99 POSITION_INDEPENDENT_CODE ON)
