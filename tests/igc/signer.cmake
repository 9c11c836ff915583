# The G-record signer, checked with OpenSSL as the independent verifier.
add_library(qr_igc_grecord_oracle STATIC ${CMAKE_CURRENT_LIST_DIR}/GRecordOracle.cpp)
target_include_directories(qr_igc_grecord_oracle PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qr_igc_grecord_oracle PUBLIC qr_igc_test_oracles)

qr_add_gtest(test_igc_signer
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/GRecordSignerTest.cpp
    LINK qr_igc_signer qr_igc_grecord_oracle qr_qvd_vali_core
)

# qvd-vali run as a program on files the signer made.
qr_add_gtest(test_qvd_vali
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/QvdValiTest.cpp
    LINK qr_igc_signer qr_igc_grecord_oracle
)
target_compile_definitions(test_qvd_vali PRIVATE QR_QVD_VALI="$<TARGET_FILE:qvd-vali>")
add_dependencies(test_qvd_vali qvd-vali)
