qr_ui_library(qr_header_dialog_ui SOURCES ${CMAKE_CURRENT_LIST_DIR}/TFormIGCKonfig.cpp LINK qr_app_ui)
