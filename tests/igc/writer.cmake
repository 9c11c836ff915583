# The IGC file writer: composition, naming, the file layer and failure clean-up.
qr_add_gtest(test_igc_writer
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/IgcWriterContentTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/IgcWriterFileTest.cpp
    LINK qr_igc_writer)
target_compile_definitions(test_igc_writer PRIVATE
    QR_WRITER_DATA="${CMAKE_CURRENT_LIST_DIR}/data/writer")

# Written and signed files read by independent parsers (igc-parser from npm, gpsbabel) and
# verified with python3-cryptography.
qr_add_gtest(test_igc_writer_oracles
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/IgcWriterOracleTest.cpp
            ${PROJECT_SOURCE_DIR}/tests/support/IgcOracles.cpp
    LINK qr_igc_writer qr_igc_signer)
target_compile_definitions(test_igc_writer_oracles PRIVATE
    QR_WRITER_DATA="${CMAKE_CURRENT_LIST_DIR}/data/writer"
    QR_IGC_DATA="${CMAKE_CURRENT_LIST_DIR}/data"
    QR_TEST_TOOLS_DIR="${PROJECT_SOURCE_DIR}/tests/tools")
