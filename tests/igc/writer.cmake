# The IGC file writer: composition, naming, the file layer and failure clean-up.
qr_add_gtest(test_igc_writer
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/IgcWriterContentTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/IgcWriterFileTest.cpp
    LINK qr_igc_writer)
target_compile_definitions(test_igc_writer PRIVATE
    QR_WRITER_DATA="${CMAKE_CURRENT_LIST_DIR}/data/writer")
