qr_ui_library(qr_header_dialog_ui
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TFormIGCKonfig.cpp ${CMAKE_CURRENT_LIST_DIR}/UpDownControl.cpp
    LINK qr_app_ui qr_header_rules qr_typed_length_limit_ui)
