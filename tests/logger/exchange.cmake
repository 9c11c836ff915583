qr_add_gtest(test_exchange SOURCES ${CMAKE_CURRENT_LIST_DIR}/ExchangeTest.cpp LINK qr_exchange)
