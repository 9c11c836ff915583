# The main window's handler that writes the chosen flight.
target_sources(qr_logger_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/TZelmorWriter.cpp)
target_link_libraries(qr_logger_ui PUBLIC qr_igc_writer qr_igc_signer qr_header_dialog_ui)
