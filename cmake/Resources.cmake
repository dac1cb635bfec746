# Converts the UTF-8 text sources to GBK and compiles them, with the tunes, into corvane_resources.
file(GLOB_RECURSE CORVANE_TEXT_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/resources/*.txt")
set(CORVANE_TUNE1 "${CMAKE_SOURCE_DIR}/resources/GateTune1.mid")
set(CORVANE_TUNE2 "${CMAKE_SOURCE_DIR}/resources/GateTune2.mid")
set(generated "${CMAKE_BINARY_DIR}/generated/resource_data.cpp")
set(pool_bins)
foreach(name OpeningPool BodyPool1 BodyPool2 ClosingPool GeneralProgrammeText ConstitutionArticlesText TickerText)
  list(APPEND pool_bins "${CORVANE_RESOURCE_DIR}/${name}.bin")
endforeach()
add_custom_command(
  OUTPUT "${generated}" ${pool_bins}
  COMMAND Python3::Interpreter "${CMAKE_SOURCE_DIR}/tools/gbk_resources.py"
          --source-dir "${CMAKE_SOURCE_DIR}/resources"
          --out-dir "${CORVANE_RESOURCE_DIR}"
          --cpp "${generated}"
          --binary "GateTune1=${CORVANE_TUNE1}"
          --binary "GateTune2=${CORVANE_TUNE2}"
          --binary "BannerImage=${CMAKE_SOURCE_DIR}/resources/BannerImage.jpg"
  DEPENDS "${CMAKE_SOURCE_DIR}/tools/gbk_resources.py" ${CORVANE_TEXT_SOURCES} "${CORVANE_TUNE1}" "${CORVANE_TUNE2}" "${CMAKE_SOURCE_DIR}/resources/BannerImage.jpg"
  COMMENT "Converting texts to GBK"
  VERBATIM)
add_library(corvane_resources STATIC "${generated}")
target_include_directories(corvane_resources PUBLIC "${CMAKE_SOURCE_DIR}")
