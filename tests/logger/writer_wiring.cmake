qr_add_gtest(test_writer_wiring SOURCES ${CMAKE_CURRENT_LIST_DIR}/WriterWiringTest.cpp LINK qr_logger_ui QT)
