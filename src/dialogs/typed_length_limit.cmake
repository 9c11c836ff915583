# The typing limit of a line edit that leaves a longer text of the program whole (both dialogs).
qr_ui_library(qr_typed_length_limit_ui SOURCES ${CMAKE_CURRENT_LIST_DIR}/TypedLengthLimit.cpp
    LINK qr_app_ui)
