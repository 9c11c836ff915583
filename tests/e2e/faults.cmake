# Every fault the logger simulator injects, against the whole program: the status command,
# the download and the settings transfer, one run per fault and command.
qr_add_gtest(test_e2e_faults
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/FaultTableTest.cpp
    LINK qr_logger_ui qr_qvdsim
    QT LABELS threads)
