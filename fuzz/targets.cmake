# The sources of the fuzz target entry functions, shared by the libFuzzer executables (fuzz/) and
# the test suite's replay of the corpora (tests/fuzz/), which needs no libFuzzer.
set(LEXAPORT_FUZZ_TARGET_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BuiltFileChecks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CreateDictionaryTarget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FilePathTarget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RtfFuzzDictionary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RtfReaderTarget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TwoPartReadTarget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WriteIntermediateFileTarget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WriterFileTarget.cpp
)
set(LEXAPORT_FUZZ_INCLUDE_DIR ${CMAKE_CURRENT_LIST_DIR}/..)
# Target name -> entry function, for the executables.
set(LEXAPORT_FUZZ_TARGETS
  "rtf_reader:FuzzRtfReader"
  "two_part_read:FuzzTwoPartRead"
  "write_intermediate:FuzzWriteIntermediateFile"
  "create_dictionary:FuzzCreateDictionary"
  "writer_file:FuzzWriterFile"
  "file_path:FuzzFilePath"
)
