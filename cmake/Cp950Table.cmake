# The code page 950 table of the web build (common/CodePageTable.cpp): written
# at build time by a program for this machine, lorvane-cp950-table
# (common/table/WriteCp950Table.cpp), from this project's ICU conversions
# (common/CodePageIcu.cpp), so that the module reads the code page as the
# Linux build does. Needs the machine's C++ compiler and libicu-dev.
find_program(LORVANE_HOST_CXX NAMES g++ c++ REQUIRED)
set(LORVANE_CP950_WRITER ${PROJECT_BINARY_DIR}/host/lorvane-cp950-table)
set(LORVANE_CP950_TABLE ${PROJECT_BINARY_DIR}/generated/Cp950Table.inc)
add_custom_command(OUTPUT ${LORVANE_CP950_WRITER}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/host
  COMMAND ${LORVANE_HOST_CXX} -std=c++20 -O2 -Wall -Wextra -I${PROJECT_SOURCE_DIR}
    ${PROJECT_SOURCE_DIR}/common/table/WriteCp950Table.cpp ${PROJECT_SOURCE_DIR}/common/CodePageIcu.cpp
    -licuuc -o ${LORVANE_CP950_WRITER}
  DEPENDS common/table/WriteCp950Table.cpp common/CodePageIcu.cpp common/CodePage.h
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  COMMENT "Building lorvane-cp950-table for this machine")
add_custom_command(OUTPUT ${LORVANE_CP950_TABLE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/generated
  COMMAND ${LORVANE_CP950_WRITER} ${LORVANE_CP950_TABLE}
  DEPENDS ${LORVANE_CP950_WRITER}
  COMMENT "Writing the code page 950 table")
target_sources(lorvane_core PRIVATE ${LORVANE_CP950_TABLE})
target_include_directories(lorvane_core PRIVATE ${PROJECT_BINARY_DIR}/generated)
