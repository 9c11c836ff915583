# The settings transfer table and its sentences, free of Qt.
qr_core_library(qr_settings_transfer SOURCES ${CMAKE_CURRENT_LIST_DIR}/SettingsTransfer.cpp)
