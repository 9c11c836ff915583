# The serial port component: termios device, receive and write threads, GUI hand-off.
qr_core_library(qr_serial
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TComPort.cpp
            ${CMAKE_CURRENT_LIST_DIR}/ComSettings.cpp
            ${CMAKE_CURRENT_LIST_DIR}/ComPortThreads.cpp
            ${CMAKE_CURRENT_LIST_DIR}/ComDevice.cpp
            ${CMAKE_CURRENT_LIST_DIR}/LineSpeed.cpp
            ${CMAKE_CURRENT_LIST_DIR}/HandOff.cpp
            ${CMAKE_CURRENT_LIST_DIR}/DeviceNames.cpp
    LINK qr_settings Qt6::Core Threads::Threads
)
