# The rich-text reader for the terms documents (no Qt), and its conversion
# to a Qt text document for the terms page.
add_library(vrx4_rtf rtf_reader.cpp)
target_link_libraries(vrx4_rtf PUBLIC vrx4_app_core)
vrx4_warnings(vrx4_rtf)

if(VRX4_BUILD_GUI)
  add_library(vrx4_rtf_qt rtf_text_document.cpp)
  target_link_libraries(vrx4_rtf_qt PUBLIC vrx4_rtf Qt6::Gui)
  vrx4_warnings(vrx4_rtf_qt)
endif()
