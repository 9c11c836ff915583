# The logger settings dialog: the widgets over the settings transfer and its own port.
qr_ui_library(qr_settings_dialog_ui
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TSetQVD.cpp
    LINK qr_app_ui qr_settings_transfer qr_serial qr_typed_length_limit_ui)
