qr_add_gtest(test_track_split SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrackSplitTest.cpp LINK qr_tracks)
