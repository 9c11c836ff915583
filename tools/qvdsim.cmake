# The logger simulator: a library for tests (qr_qvdsim) and the command-line tool qvdsim.
qr_core_library(qr_qvdsim
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/qvdsim/LoggerSimulator.cpp
            ${CMAKE_CURRENT_LIST_DIR}/qvdsim/SentenceReader.cpp
    LINK qr_settings qr_serial Qt6::Core Threads::Threads
)
target_include_directories(qr_qvdsim PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(qr_qvdsim PRIVATE
    QR_QVDSIM_SAMPLE_MEMORY="${CMAKE_CURRENT_LIST_DIR}/qvdsim/data/sample-memory.txt")

add_executable(qvdsim ${CMAKE_CURRENT_LIST_DIR}/qvdsim/main.cpp)
target_link_libraries(qvdsim PRIVATE qr_qvdsim)

# qr_qvdsim_memory(<output file> <lines>): a large track memory for benchmarks, written by
# the generator at build time (never committed).
function(qr_qvdsim_memory output lines)
    add_custom_command(OUTPUT ${output}
        COMMAND python3 ${PROJECT_SOURCE_DIR}/tools/qvdsim/make_sample_memory.py
                --lines ${lines} --out ${output}
        DEPENDS ${PROJECT_SOURCE_DIR}/tools/qvdsim/make_sample_memory.py
        COMMENT "Generating a track memory of ${lines} lines"
        VERBATIM)
endfunction()
