# The IGC file writer: the chosen track as a new .igc file (signing is handed in).
qr_core_library(qr_igc_writer
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/IgcFileName.cpp
            ${CMAKE_CURRENT_LIST_DIR}/IgcWriter.cpp
            ${CMAKE_CURRENT_LIST_DIR}/IgcWriterContent.cpp
    LINK qr_app_core qr_complete_file
)
