# The main window's screenshot scenes play the logger with the simulator.
target_link_libraries(qr-screenshot PRIVATE qr_qvdsim)
