qr_ui_library(qr_settings_dialog_ui SOURCES ${CMAKE_CURRENT_LIST_DIR}/TSetQVD.cpp LINK qr_app_ui)
