qr_add_fuzz_target(number SOURCE ${CMAKE_CURRENT_LIST_DIR}/FuzzNumber.cpp LINK qr_app_core)
qr_add_fuzz_target(settings SOURCE ${CMAKE_CURRENT_LIST_DIR}/FuzzSettings.cpp LINK qr_settings)
