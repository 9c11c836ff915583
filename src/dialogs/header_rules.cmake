# The header dialog's rules without widgets: plausibility, class names, save directory.
qr_core_library(qr_header_rules SOURCES ${CMAKE_CURRENT_LIST_DIR}/HeaderRules.cpp)
