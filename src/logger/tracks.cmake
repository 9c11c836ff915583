# The split of a downloaded track memory into flights (plain C++).
qr_core_library(qr_tracks SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrackSplit.cpp LINK qr_app_core)
