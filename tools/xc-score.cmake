# qvd-xc-score: the cross-country score of IGC files, one tab-separated row per file.
add_executable(qvd-xc-score ${CMAKE_CURRENT_LIST_DIR}/xc-score/main.cpp)
target_link_libraries(qvd-xc-score PRIVATE qr_xc)
install(TARGETS qvd-xc-score RUNTIME DESTINATION bin)
