# The logger settings dialog: its transfer table and sentences, the widgets, and the
# transfer over a pseudo-terminal.
find_package(Qt6 REQUIRED COMPONENTS Test)

qr_add_gtest(settings_transfer_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/SettingsTransferTest.cpp
    LINK qr_settings_transfer)

qr_add_gtest(settings_dialog_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/SettingsDialogTest.cpp
    LINK qr_settings_dialog_ui Qt6::Test
    QT)

qr_add_gtest(settings_dialog_port_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/SettingsDialogPortTest.cpp ${CMAKE_CURRENT_LIST_DIR}/PtyPeer.cpp
    LINK qr_settings_dialog_ui Qt6::Test
    QT LABELS threads)
