qr_add_fuzz_target(initext SOURCE ${CMAKE_CURRENT_LIST_DIR}/FuzzIniText.cpp LINK qr_app_core)
