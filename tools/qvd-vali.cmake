# qvd-vali: checks the G record of a signed .igc file with the program's public key.
add_library(qr_qvd_vali_core STATIC
    ${CMAKE_CURRENT_LIST_DIR}/qvd-vali/DsaVerify.cpp ${CMAKE_CURRENT_LIST_DIR}/qvd-vali/GRecordCheck.cpp)
target_include_directories(qr_qvd_vali_core PUBLIC ${CMAKE_CURRENT_LIST_DIR}/qvd-vali)
target_link_libraries(qr_qvd_vali_core PUBLIC qr_igc_signer)

add_executable(qvd-vali ${CMAKE_CURRENT_LIST_DIR}/qvd-vali/main.cpp)
target_link_libraries(qvd-vali PRIVATE qr_qvd_vali_core)
install(TARGETS qvd-vali RUNTIME DESTINATION bin)
