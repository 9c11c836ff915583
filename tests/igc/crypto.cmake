# SHA-1, big integers and DSA signing, checked against OpenSSL and GMP.
find_package(OpenSSL REQUIRED)
find_library(QR_GMP_LIBRARY gmp REQUIRED)
find_library(QR_GMPXX_LIBRARY gmpxx REQUIRED)

# The independent references; tests only, never the program.
add_library(qr_igc_test_oracles STATIC ${CMAKE_CURRENT_LIST_DIR}/CryptoOracles.cpp)
target_include_directories(qr_igc_test_oracles PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(qr_igc_test_oracles PUBLIC
    QR_IGC_TEST_DATA="${CMAKE_CURRENT_LIST_DIR}/data")
target_link_libraries(qr_igc_test_oracles PUBLIC
    qr_igc_crypto OpenSSL::Crypto ${QR_GMPXX_LIBRARY} ${QR_GMP_LIBRARY})

qr_add_gtest(test_igc_crypto
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/Sha1HashTest.cpp ${CMAKE_CURRENT_LIST_DIR}/BigIntTest.cpp
            ${CMAKE_CURRENT_LIST_DIR}/BigIntDsaTest.cpp
    LINK qr_igc_test_oracles
)
