qr_ui_library(qr_logger_ui SOURCES ${CMAKE_CURRENT_LIST_DIR}/TZelmor.cpp LINK qr_app_ui qr_dialogs_ui)
