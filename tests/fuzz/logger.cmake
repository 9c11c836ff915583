qr_add_fuzz_target(exchange SOURCE ${CMAKE_CURRENT_LIST_DIR}/FuzzExchange.cpp LINK qr_exchange)
qr_add_fuzz_target(tracks SOURCE ${CMAKE_CURRENT_LIST_DIR}/FuzzTracks.cpp LINK qr_tracks)
