qr_add_fuzz_target(score SOURCE ${CMAKE_CURRENT_LIST_DIR}/FuzzScore.cpp LINK qr_xc)
