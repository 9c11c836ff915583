qr_add_gtest(test_e2e_main_window
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/MainWindowE2eTest.cpp
    LINK qr_logger_ui qr_qvdsim
    QT LABELS threads)
