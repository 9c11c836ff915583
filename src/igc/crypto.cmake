# SHA-1 and the big integers with DSA signing: plain C++, no library beneath.
qr_core_library(qr_igc_crypto
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/HashBase.cpp ${CMAKE_CURRENT_LIST_DIR}/Sha1Hash.cpp
            ${CMAKE_CURRENT_LIST_DIR}/Sha1ShaExtension.cpp
            ${CMAKE_CURRENT_LIST_DIR}/BigInt.cpp ${CMAKE_CURRENT_LIST_DIR}/BigIntMont512.cpp
            ${CMAKE_CURRENT_LIST_DIR}/BigIntDsa.cpp
)
