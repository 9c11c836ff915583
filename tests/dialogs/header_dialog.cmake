find_package(Qt6 REQUIRED COMPONENTS Test)
qr_add_gtest(test_header_rules SOURCES ${CMAKE_CURRENT_LIST_DIR}/HeaderRulesTest.cpp LINK qr_header_rules)
qr_add_gtest(test_header_dialog SOURCES ${CMAKE_CURRENT_LIST_DIR}/HeaderDialogTest.cpp
    LINK qr_header_dialog_ui Qt6::Test QT)
