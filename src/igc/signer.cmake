# The G-record signer: digest selection, the signing key and SignIgcFile.
qr_core_library(qr_igc_signer
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/GRecordDigest.cpp ${CMAKE_CURRENT_LIST_DIR}/uGRecDSA.cpp
    LINK qr_igc_crypto qr_app_core
)
