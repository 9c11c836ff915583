qr_add_fuzz_target(signer SOURCE ${CMAKE_CURRENT_LIST_DIR}/FuzzSignerReader.cpp LINK qr_igc_signer)
qr_add_fuzz_target(writer SOURCE ${CMAKE_CURRENT_LIST_DIR}/FuzzWriter.cpp LINK qr_igc_writer)
