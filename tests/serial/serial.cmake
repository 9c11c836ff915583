qr_add_gtest(serial_comport_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ComPortTest.cpp
    LINK qr_serial
    QT LABELS threads)

qr_add_gtest(serial_simulator_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/SimulatorTest.cpp
    LINK qr_qvdsim
    LABELS threads)
target_compile_definitions(serial_simulator_test PRIVATE QR_QVDSIM_TOOL="$<TARGET_FILE:qvdsim>")
add_dependencies(serial_simulator_test qvdsim)

qr_add_gtest(serial_simulator_port_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/SimulatorPortTest.cpp
    LINK qr_serial qr_qvdsim
    QT LABELS threads)

qr_add_gtest(test_serial_port_discovery
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PortDiscoveryTest.cpp
    LINK qr_port_discovery)
