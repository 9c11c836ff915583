# The track list's tooltips: each flight's facts and its barogram.
qr_ui_library(qr_track_tooltips
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrackToolTips.cpp LINK qr_tracks qr_flight_gui)
target_link_libraries(qr_logger_ui PUBLIC qr_track_tooltips)
