# The generator's sources, shared by the lexaport-gen program and its tests.
set(LEXAPORT_GEN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/DictionaryGenerator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StenoModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TranslationModel.cpp
)
set(LEXAPORT_GEN_INCLUDE_DIR ${CMAKE_CURRENT_LIST_DIR}/..)
