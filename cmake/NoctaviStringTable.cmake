# Turns the readable string table into the C++ source of the built-in table.
#   cmake -DSOURCE=<StringTable.txt> -DOUTPUT=<BuiltInStrings.cpp> -P NoctaviStringTable.cmake
# A line is blank, a "#" comment, or an identifier (decimal or 0x-hexadecimal,
# 0 to 65535) followed by the text as a C string literal. The literal is copied
# unchanged, so the compiler, not this script, interprets its escapes.
# Identifiers must ascend strictly: the table is searched by halving, and a
# repeated identifier is a mistake in the file.
#
# The file is cut into lines by hand rather than turned into a CMake list,
# because texts may hold ";" and "[" which list handling would mangle.

cmake_minimum_required(VERSION 3.25)

set(identifier_pattern "^(0[xX][0-9A-Fa-f]+|[0-9]+)[ \t]+")
set(literal_pattern "\"([^\"\\\\]|\\\\.)*\"")

function(fail line_number reason)
  message(FATAL_ERROR "${SOURCE}:${line_number}: ${reason}")
endfunction()

file(READ "${SOURCE}" content)
set(rows "")
set(previous -1)
set(line_number 0)
while(NOT content STREQUAL "")
  string(FIND "${content}" "\n" end)
  if(end EQUAL -1)
    set(line "${content}")
    set(content "")
  else()
    string(SUBSTRING "${content}" 0 ${end} line)
    math(EXPR rest "${end} + 1")
    string(SUBSTRING "${content}" ${rest} -1 content)
  endif()
  math(EXPR line_number "${line_number} + 1")
  string(REGEX REPLACE "[ \t\r]+$" "" line "${line}")
  if(line STREQUAL "" OR line MATCHES "^#")
    continue()
  endif()

  if(NOT line MATCHES "${identifier_pattern}(${literal_pattern})$")
    fail(${line_number} "expected an identifier and a C string literal")
  endif()
  set(text "${CMAKE_MATCH_2}")
  math(EXPR identifier "${CMAKE_MATCH_1}")
  if(identifier GREATER 65535)
    fail(${line_number} "identifier ${identifier} is beyond 65535")
  endif()
  if(NOT identifier GREATER previous)
    fail(${line_number} "identifier ${identifier} does not ascend")
  endif()
  set(previous ${identifier})
  string(APPEND rows "    {${identifier}u, ${text}},\n")
endwhile()

if(rows STREQUAL "")
  message(FATAL_ERROR "${SOURCE}: the string table is empty")
endif()

set(generated "// Generated from Noctavi/res/StringTable.txt; edit that file instead.
#include <Noctavi/Utility/BuiltInStrings.h>

namespace Utility {

const BuiltInString kBuiltInStrings[] = {
${rows}};

const std::size_t kBuiltInStringCount = sizeof(kBuiltInStrings) / sizeof(kBuiltInStrings[0]);

} // namespace Utility
")

file(WRITE "${OUTPUT}" "${generated}")
