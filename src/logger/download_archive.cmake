# The archive of kept downloads (plain C++): raw answers, complete or absent, never deleted.
qr_core_library(qr_download_archive
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/DownloadArchive.cpp LINK qr_complete_file)
