# SHA-1, DSA signing and modular exponentiation next to OpenSSL and GMP.
find_package(OpenSSL QUIET)
find_library(QR_GMP_LIBRARY gmp)
if(OpenSSL_FOUND AND QR_GMP_LIBRARY)
    add_executable(bench_crypto ${CMAKE_CURRENT_LIST_DIR}/CryptoBench.cpp)
    target_link_libraries(bench_crypto PRIVATE
        qr_igc_crypto benchmark::benchmark OpenSSL::Crypto ${QR_GMP_LIBRARY})
else()
    message(STATUS "bench_crypto skipped: OpenSSL or GMP missing")
endif()
