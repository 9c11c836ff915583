qr_add_gtest(test_track_split SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrackSplitTest.cpp LINK qr_tracks)
qr_add_gtest(test_track_list_format SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrackListFormatTest.cpp LINK qr_tracks_ui)
