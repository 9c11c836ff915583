# All dialogs, for the windows that open them.
add_library(qr_dialogs_ui INTERFACE)
target_link_libraries(qr_dialogs_ui INTERFACE qr_header_dialog_ui qr_settings_dialog_ui)
