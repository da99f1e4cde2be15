# The x86-64 instruction decoder and formatter (Zydis), compiled in both trees
# from Debian's source package that scripts/setup unpacks into
# third_party/zydis; its support library Zycore is needed for headers only.
set(VELKOR_ZYDIS_DIR ${PROJECT_SOURCE_DIR}/third_party/zydis)
set(VELKOR_ZYCORE_DIR ${PROJECT_SOURCE_DIR}/third_party/zycore)
if(NOT EXISTS ${VELKOR_ZYDIS_DIR}/include/Zydis/Zydis.h OR NOT EXISTS ${VELKOR_ZYCORE_DIR}/include/Zycore/Zycore.h)
  message(FATAL_ERROR "Zydis or Zycore sources missing in ${PROJECT_SOURCE_DIR}/third_party: run scripts/setup")
endif()
add_library(velkor_zydis STATIC
  ${VELKOR_ZYDIS_DIR}/src/Decoder.c ${VELKOR_ZYDIS_DIR}/src/DecoderData.c
  ${VELKOR_ZYDIS_DIR}/src/Formatter.c ${VELKOR_ZYDIS_DIR}/src/FormatterBase.c
  ${VELKOR_ZYDIS_DIR}/src/FormatterBuffer.c ${VELKOR_ZYDIS_DIR}/src/FormatterIntel.c
  ${VELKOR_ZYDIS_DIR}/src/FormatterATT.c ${VELKOR_ZYDIS_DIR}/src/MetaInfo.c
  ${VELKOR_ZYDIS_DIR}/src/Mnemonic.c ${VELKOR_ZYDIS_DIR}/src/Register.c
  ${VELKOR_ZYDIS_DIR}/src/SharedData.c ${VELKOR_ZYDIS_DIR}/src/String.c
  ${VELKOR_ZYDIS_DIR}/src/Utils.c ${VELKOR_ZYDIS_DIR}/src/Zydis.c)
target_include_directories(velkor_zydis SYSTEM PUBLIC ${VELKOR_ZYDIS_DIR}/include ${VELKOR_ZYCORE_DIR}/include)
target_include_directories(velkor_zydis PRIVATE ${VELKOR_ZYDIS_DIR}/src)
# Decoding and formatting only: no encoder, no instruction-set extensions of accelerator cards.
target_compile_definitions(velkor_zydis PUBLIC ZYDIS_STATIC_BUILD ZYCORE_STATIC_BUILD ZYDIS_DISABLE_ENCODER ZYDIS_DISABLE_KNC)
target_compile_options(velkor_zydis PRIVATE -w)
set_target_properties(velkor_zydis PROPERTIES C_STANDARD 11)
