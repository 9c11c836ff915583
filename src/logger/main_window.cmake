# The main window. The exchange core and the serial port do the work; the window shows it.
qr_ui_library(qr_logger_ui
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/TZelmor.cpp ${CMAKE_CURRENT_LIST_DIR}/InformationPage.cpp
    LINK qr_app_ui qr_dialogs_ui qr_exchange qr_serial
)
target_compile_definitions(qr_logger_ui PRIVATE QR_SOURCE_README="${PROJECT_SOURCE_DIR}/README.md")
# The port list's items say where each COM number leads.
target_sources(qr_logger_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ComPortDescriptions.cpp)
target_link_libraries(qr_logger_ui PUBLIC qr_port_discovery)
