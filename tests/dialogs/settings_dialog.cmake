# The logger settings dialog: its transfer table and sentences.
qr_add_gtest(settings_transfer_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/SettingsTransferTest.cpp
    LINK qr_settings_transfer)
