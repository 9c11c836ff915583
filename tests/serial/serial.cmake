qr_add_gtest(serial_comport_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ComPortTest.cpp
    LINK qr_serial
    QT LABELS threads)
