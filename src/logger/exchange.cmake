# The exchange with the logger without the window: commands, evaluation, line buffer.
qr_core_library(qr_exchange
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/Exchange.cpp
            ${CMAKE_CURRENT_LIST_DIR}/Evaluation.cpp
            ${CMAKE_CURRENT_LIST_DIR}/LineBuffer.cpp
            ${CMAKE_CURRENT_LIST_DIR}/LoggerCommands.cpp
            ${CMAKE_CURRENT_LIST_DIR}/MemoAppender.cpp
    LINK qr_app_core
)
