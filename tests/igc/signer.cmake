# The G-record signer, checked with OpenSSL as the independent verifier.
add_library(qr_igc_grecord_oracle STATIC ${CMAKE_CURRENT_LIST_DIR}/GRecordOracle.cpp)
target_include_directories(qr_igc_grecord_oracle PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qr_igc_grecord_oracle PUBLIC qr_igc_test_oracles)

qr_add_gtest(test_igc_signer
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/GRecordSignerTest.cpp
    LINK qr_igc_signer qr_igc_grecord_oracle
)
