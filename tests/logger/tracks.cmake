qr_add_gtest(test_track_split SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrackSplitTest.cpp LINK qr_tracks)
qr_add_gtest(test_track_list_format SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrackListFormatTest.cpp LINK qr_tracks_ui)
qr_add_gtest(test_track_list SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrackListTest.cpp LINK qr_logger_ui QT)
target_compile_definitions(test_track_list PRIVATE
    QR_SAMPLE_MEMORY="${PROJECT_SOURCE_DIR}/tools/qvdsim/data/sample-memory.txt")
qr_add_gtest(test_track_tooltips SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrackToolTipsTest.cpp LINK qr_logger_ui QT)
target_compile_definitions(test_track_tooltips PRIVATE
    QR_SAMPLE_MEMORY="${PROJECT_SOURCE_DIR}/tools/qvdsim/data/sample-memory.txt")
