# The serial port component: termios device, receive and write threads, GUI hand-off.
qr_core_library(qr_serial
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TComPort.cpp
            ${CMAKE_CURRENT_LIST_DIR}/ComSettings.cpp
            ${CMAKE_CURRENT_LIST_DIR}/ComPortThreads.cpp
            ${CMAKE_CURRENT_LIST_DIR}/ComDevice.cpp
            ${CMAKE_CURRENT_LIST_DIR}/LineSpeed.cpp
            ${CMAKE_CURRENT_LIST_DIR}/HandOff.cpp
            ${CMAKE_CURRENT_LIST_DIR}/DeviceNames.cpp
    LINK qr_port_names qr_settings Qt6::Core Threads::Threads
)

# Port names without Qt: the default table, the resolution of "COM n", COM number texts.
qr_core_library(qr_port_names SOURCES ${CMAKE_CURRENT_LIST_DIR}/PortNames.cpp)

# Which serial devices are present: the rules over them (plain C++) and their enumeration
# from the system's device database.
find_package(PkgConfig REQUIRED)
pkg_check_modules(QR_UDEV REQUIRED IMPORTED_TARGET libudev)
qr_core_library(qr_port_discovery
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PortDiscovery.cpp ${CMAKE_CURRENT_LIST_DIR}/UdevEnumeration.cpp
    LINK qr_port_names PkgConfig::QR_UDEV)
