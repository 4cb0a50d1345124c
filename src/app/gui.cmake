# The Qt shell: application object, main frame and view, mode page,
# dialogs, terms page, logos, manual viewer, and the program itself.
set(CMAKE_AUTOMOC ON)
include(GNUInstallDirs)

add_library(vrx4_app
  about_box.cpp agreement_page.cpp gui_notifier.cpp logo_panel.cpp main_frame.cpp manual_viewer.cpp
  message_box.cpp mode_page.cpp password_dialog.cpp port_dialog.cpp range_dialog.cpp session_end.cpp simulated_regulator.cpp
  vrx4_app.cpp vrx4_view.cpp vrx4_view_live.cpp vrx4_view_pages.cpp vrx4_view_print.cpp vrx4_view_tools.cpp)
target_link_libraries(vrx4_app PUBLIC
  vrx4_app_core vrx4_rtf vrx4_rtf_qt vrx4_controls vrx4_pages vrx4_monitoring_gui vrx4_memory_gui vrx4_sim
  Qt6::Widgets Qt6::PrintSupport)
vrx4_warnings(vrx4_app)

# The terms of use, one rich-text document per language, as resources
# numbered by language.
set(terms_dir ${PROJECT_SOURCE_DIR}/data/terms)
set(terms_files)
foreach(number 185 186 184 183)
  file(GLOB file ${terms_dir}/terms-${number}-*.rtf)
  if(file)
    set_source_files_properties(${file} PROPERTIES QT_RESOURCE_ALIAS ${number})
    list(APPEND terms_files ${file})
  endif()
endforeach()
if(terms_files)
  qt_add_resources(vrx4_app terms PREFIX /RTF_TEXT BASE ${terms_dir} FILES ${terms_files})
endif()

# The window icon, in the sizes the desktop picks from.
set(icons_dir ${PROJECT_SOURCE_DIR}/data/icons)
qt_add_resources(vrx4_app icons PREFIX /icons BASE ${icons_dir}
  FILES ${icons_dir}/vrx4-48.png ${icons_dir}/vrx4-128.png ${icons_dir}/vrx4-256.png)

add_executable(vrx4 main.cpp)
target_link_libraries(vrx4 PRIVATE vrx4_app)
target_compile_definitions(vrx4 PRIVATE
  VRX4_INSTALLED_DATA_DIR="${CMAKE_INSTALL_FULL_DATADIR}/vrx4")
vrx4_warnings(vrx4)
if(TARGET vrx4_data)
  add_dependencies(vrx4 vrx4_data)
endif()

install(TARGETS vrx4 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
