# Every library comes from Debian's packages (scripts/install-deps.sh).
find_package(Threads REQUIRED)
find_package(Boost 1.74 REQUIRED COMPONENTS
  serialization wserialization filesystem thread chrono system program_options date_time)
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Network)
find_package(CURL REQUIRED)
find_package(LibXml2 REQUIRED)
find_package(OpenSSL REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(LDNS REQUIRED IMPORTED_TARGET ldns)
find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)

# Boost.Thread's old default API is kept; the global placeholders stay out of our namespace.
add_compile_definitions(BOOST_BIND_GLOBAL_PLACEHOLDERS BOOST_ALLOW_DEPRECATED_HEADERS)
