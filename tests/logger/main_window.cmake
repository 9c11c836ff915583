qr_add_gtest(test_main_window
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/MainWindowTest.cpp
    LINK qr_logger_ui
    QT LABELS threads)
qr_add_gtest(test_logger_com_port_descriptions SOURCES ${CMAKE_CURRENT_LIST_DIR}/ComPortDescriptionsTest.cpp LINK qr_logger_ui QT)
