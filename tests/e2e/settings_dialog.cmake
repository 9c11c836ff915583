# The logger settings dialog against the logger simulator.
find_package(Qt6 REQUIRED COMPONENTS Test)

qr_add_gtest(settings_dialog_e2e_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/SettingsDialogE2ETest.cpp
    LINK qr_settings_dialog_ui qr_qvdsim Qt6::Test
    QT LABELS threads)
