# The split of a downloaded track memory into flights (plain C++).
qr_core_library(qr_tracks SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrackSplit.cpp LINK qr_app_core)

# The list in the user's regional date and time formats.
qr_ui_library(qr_tracks_ui SOURCES ${CMAKE_CURRENT_LIST_DIR}/TrackListFormat.cpp LINK qr_tracks qr_app_ui)

# The main window's handlers of the track list live in a file of their own.
target_sources(qr_logger_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/TZelmorTracks.cpp)
target_link_libraries(qr_logger_ui PUBLIC qr_tracks_ui)
